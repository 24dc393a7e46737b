#include "platform/system_information.h"

#include <QString>
#include <sys/utsname.h>

namespace nimbara {

OperatingSystemVersion LinuxSystemInformation::runningSystemVersion() const {
    utsname name{};
    if (uname(&name) != 0) {
        return {};
    }
    return versionFromKernelRelease(QString::fromLocal8Bit(name.release));
}

OperatingSystemVersion versionFromKernelRelease(QStringView release) {
    qint64 parts[3] = {0, 0, 0};
    int index = 0;
    qsizetype i = 0;
    while (index < 3 && i < release.size() && release[i].isDigit() && release[i].unicode() < 128) {
        qint64 value = 0;
        while (i < release.size() && release[i].unicode() >= u'0' && release[i].unicode() <= u'9') {
            if (value < 100'000'000) {
                value = value * 10 + (release[i].unicode() - u'0');
            }
            ++i;
        }
        parts[index++] = value;
        if (i < release.size() && release[i] == u'.') {
            ++i;
        } else {
            break;
        }
    }
    return {parts[0], parts[1], parts[2]};
}

} // namespace nimbara
