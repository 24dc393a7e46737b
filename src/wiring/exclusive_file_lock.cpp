#include "wiring/exclusive_file_lock.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace nimbara {

ExclusiveFileLock::ExclusiveFileLock(QString path) : path_(std::move(path)) {}

ExclusiveFileLock::~ExclusiveFileLock() {
    if (descriptor_ >= 0) {
        ::close(descriptor_);
    }
}

ExclusiveFileLock::Outcome ExclusiveFileLock::tryAcquire() {
    if (descriptor_ < 0) {
        // Close-on-exec: apps started by the launcher must not inherit the lock and keep it after
        // the launcher ends. Non-blocking: a FIFO put in the file's place must not hang the open.
        // Opened for writing because a lock over NFS needs it.
        descriptor_ = ::open(QFile::encodeName(path_).constData(),
                             O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0600);
        if (descriptor_ < 0) {
            error_ = QString::fromLocal8Bit(std::strerror(errno));
            return Outcome::failed;
        }
    }
    int result = 0;
    do {
        result = ::flock(descriptor_, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result == 0) {
        return Outcome::acquired;
    }
    if (errno == EWOULDBLOCK) {
        return Outcome::heldElsewhere;
    }
    error_ = QString::fromLocal8Bit(std::strerror(errno));
    return Outcome::failed;
}

QString ExclusiveFileLock::path() const {
    return path_;
}

QString ExclusiveFileLock::errorString() const {
    return error_;
}

} // namespace nimbara
