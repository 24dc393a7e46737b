#include "support/file_permissions_enforced.h"

#include <QDebug>
#include <cerrno>
#include <cstring>
#include <sys/syscall.h>
#include <unistd.h>

namespace nimbara::test {

namespace {

__user_cap_header_struct thisThread() {
    return {_LINUX_CAPABILITY_VERSION_3, 0};
}

QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

FilePermissionsEnforced::FilePermissionsEnforced() {
    __user_cap_header_struct header = thisThread();
    if (syscall(SYS_capget, &header, saved_) != 0) {
        error_ = QStringLiteral("capget: ") + systemError();
        return;
    }
    __user_cap_data_struct reduced[_LINUX_CAPABILITY_U32S_3];
    std::memcpy(reduced, saved_, sizeof reduced);
    for (const int capability : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER}) {
        reduced[CAP_TO_INDEX(capability)].effective &= ~CAP_TO_MASK(capability);
    }
    header = thisThread();
    if (syscall(SYS_capset, &header, reduced) != 0) {
        error_ = QStringLiteral("capset: ") + systemError();
        return;
    }
    dropped_ = true;
}

FilePermissionsEnforced::~FilePermissionsEnforced() {
    if (dropped_) {
        __user_cap_header_struct header = thisThread();
        if (syscall(SYS_capset, &header, saved_) != 0) {
            qWarning() << "cannot restore the thread's capabilities:" << systemError();
        }
    }
}

} // namespace nimbara::test
