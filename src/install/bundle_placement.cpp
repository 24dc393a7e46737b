#include "install/bundle_placement.h"

#include "core/error.h"
#include "core/logging.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace nimbara {

namespace {

QByteArray native(const QString& path) {
    return QFile::encodeName(path);
}

[[noreturn]] void fail(const QString& what, const QString& path, int code = errno) {
    throw FileError(QStringLiteral("Could not %1 %2: %3")
                        .arg(what, path, QString::fromLocal8Bit(std::strerror(code))));
}

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

void keepTimes(const QString& path, const struct stat& info) {
    const timespec times[2] = {info.st_atim, info.st_mtim};
    if (::utimensat(AT_FDCWD, native(path).constData(), times, AT_SYMLINK_NOFOLLOW) != 0)
        fail(QStringLiteral("set the times of"), path);
}

constexpr size_t kCopyBufferSize = 1024 * 1024;

bool writeAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= size_t(written);
    }
    return true;
}

void copyFile(const QString& from, const QString& to, const struct stat& info) {
    const Descriptor source(::open(native(from).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (source.get() < 0)
        fail(QStringLiteral("read"), from);
    const Descriptor target(
        ::open(native(to).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (target.get() < 0)
        fail(QStringLiteral("create"), to);
    // The kernel copies within one file system; across two (the temporary folder is often a
    // tmpfs) or where it cannot, the bytes go through a buffer.
    bool inKernel = true;
    for (off_t left = info.st_size; left > 0;) {
        ssize_t moved = -1;
        if (inKernel) {
            moved =
                ::copy_file_range(source.get(), nullptr, target.get(), nullptr, size_t(left), 0);
            if (moved < 0 &&
                (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP)) {
                inKernel = false;
                continue;
            }
        } else {
            thread_local std::vector<char> buffer(kCopyBufferSize);
            moved = ::read(source.get(), buffer.data(), std::min(buffer.size(), size_t(left)));
            if (moved > 0 && !writeAll(target.get(), buffer.data(), size_t(moved)))
                fail(QStringLiteral("write"), to);
        }
        if (moved < 0 && errno == EINTR)
            continue;
        if (moved < 0)
            fail(QStringLiteral("write"), to);
        if (moved == 0)
            break; // the source shrank; the copy is what it holds now
        left -= moved;
    }
    if (::fchmod(target.get(), info.st_mode & 07777) != 0)
        fail(QStringLiteral("set the permissions of"), to);
}

void copyEntry(const QString& from, const QString& to, const CancellationToken& cancellation) {
    struct stat info {};
    if (::lstat(native(from).constData(), &info) != 0)
        fail(QStringLiteral("read"), from);
    if (S_ISDIR(info.st_mode)) {
        if (::mkdir(native(to).constData(), 0700) != 0)
            fail(QStringLiteral("create"), to);
        const QDir::Filters all =
            QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
        for (const QString& name : QDir(from).entryList(all))
            copyEntry(from + QLatin1Char('/') + name, to + QLatin1Char('/') + name, cancellation);
        if (::chmod(native(to).constData(), info.st_mode & 07777) != 0)
            fail(QStringLiteral("set the permissions of"), to);
    } else if (S_ISREG(info.st_mode)) {
        cancellation.throwIfCancelled();
        copyFile(from, to, info);
    } else if (S_ISLNK(info.st_mode)) {
        QByteArray target(qsizetype(info.st_size) + 1, Qt::Uninitialized);
        const ssize_t length = ::readlink(native(from).constData(), target.data(), target.size());
        if (length < 0 || length >= target.size())
            fail(QStringLiteral("read the link"), from, length < 0 ? errno : ENAMETOOLONG);
        target.truncate(length);
        if (::symlink(target.constData(), native(to).constData()) != 0)
            fail(QStringLiteral("create"), to);
    } else {
        throw FileError(QStringLiteral("Could not copy %1: not a file, folder or link").arg(from));
    }
    keepTimes(to, info);
}

void syncFolderOf(const QString& path) {
    const QString folder = QFileInfo(path).absolutePath();
    const Descriptor fd(::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0 || ::fsync(fd.get()) != 0)
        fail(QStringLiteral("flush"), folder);
}

void callHook(const SwapHook& hook, SwapPoint point) {
    if (hook)
        hook(point);
}

} // namespace

QString canonicalUuid() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}

bool entryExists(const QString& path) {
    struct stat info {};
    return ::lstat(native(path).constData(), &info) == 0;
}

void copyBundleTree(const QString& from, const QString& to, const CancellationToken& cancellation) {
    copyEntry(from, to, cancellation);
}

void renameDurably(const QString& from, const QString& to) {
    if (::renameat2(AT_FDCWD, native(from).constData(), AT_FDCWD, native(to).constData(),
                    RENAME_NOREPLACE) != 0)
        throw FileError(QStringLiteral("Could not move %1 to %2: %3")
                            .arg(from, to, QString::fromLocal8Bit(std::strerror(errno))));
    syncFolderOf(to);
    if (QFileInfo(from).absolutePath() != QFileInfo(to).absolutePath())
        syncFolderOf(from);
}

bool removeEntry(const QString& path) {
    struct stat info {};
    if (::lstat(native(path).constData(), &info) != 0)
        return errno == ENOENT;
    if (S_ISDIR(info.st_mode))
        return QDir(path).removeRecursively();
    return ::unlink(native(path).constData()) == 0;
}

void swapIntoPlace(const SwapPaths& paths, const std::function<void(const QString&)>& finalCheck,
                   const SwapHook& hook, BackupAfterSwap backup) {
    const bool hadExisting = entryExists(paths.destination);
    if (hadExisting) {
        renameDurably(paths.destination, paths.backup);
        callHook(hook, SwapPoint::backupMoved);
    }
    try {
        renameDurably(paths.staged, paths.destination);
        callHook(hook, SwapPoint::movedIntoPlace);
        finalCheck(paths.destination);
        callHook(hook, SwapPoint::finalCheckPassed);
    } catch (...) {
        // Only what this swap moved in is removed: the staged name is gone once it moved.
        const bool movedIn = !entryExists(paths.staged) && entryExists(paths.destination);
        if (movedIn && !removeEntry(paths.destination))
            qCWarning(logInstall).noquote() << "could not remove" << paths.destination;
        if (hadExisting) {
            try {
                renameDurably(paths.backup, paths.destination);
            } catch (const Error& error) {
                qCWarning(logInstall).noquote()
                    << "could not restore the previous install:" << error.description();
            }
        }
        throw;
    }
    if (hadExisting && backup == BackupAfterSwap::remove && !removeEntry(paths.backup))
        qCWarning(logInstall).noquote() << "could not remove the backup" << paths.backup;
}

} // namespace nimbara
