#include "install/bundle_tree.h"

#include "install/file_digest.h"
#include "install/seal_fault.h"
#include "install/seal_manifest.h"

#include <QFile>
#include <QSet>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentMap>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace nimbara {

namespace {

QString systemReason() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

// `name` as text, when it survives the round trip through UTF-8.
std::optional<QString> decodedName(const char* name) {
    const QByteArray raw(name);
    const QString text = QFile::decodeName(raw);
    if (QFile::encodeName(text) != raw)
        return std::nullopt;
    return text;
}

QString joined(const QString& folder, const QString& name) {
    return folder.isEmpty() ? name : folder + QLatin1Char('/') + name;
}

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// Opens a regular file without following a symlink and without blocking on a fifo or device.
int openRegularFile(const QString& path, struct stat& info) {
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        failSeal(QStringLiteral("%1: %2").arg(path, systemReason()));
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        failSeal(QStringLiteral("%1: not a regular file").arg(path));
    }
    return fd;
}

void scanFolder(const QString& root, const QString& folder, BundleTree& tree,
                QStringList& pending) {
    const QString absolute = folder.isEmpty() ? root : root + QLatin1Char('/') + folder;
    const int fd = ::open(QFile::encodeName(absolute).constData(),
                          O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        failSeal(QStringLiteral("%1: %2").arg(absolute, systemReason()));
    std::unique_ptr<DIR, DirCloser> dir(::fdopendir(fd));
    if (!dir) {
        ::close(fd);
        failSeal(QStringLiteral("%1: %2").arg(absolute, systemReason()));
    }
    errno = 0;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0)
            continue;
        const std::optional<QString> name = decodedName(entry->d_name);
        if (!name)
            failSeal(QStringLiteral("%1: a name that is not UTF-8").arg(absolute));
        const QString path = joined(folder, *name);
        struct stat info {};
        if (::fstatat(fd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0)
            failSeal(QStringLiteral("%1: %2").arg(path, systemReason()));
        if (S_ISDIR(info.st_mode)) {
            pending.append(path);
        } else if (S_ISREG(info.st_mode)) {
            tree.files.insert(path, TreeFile{(info.st_mode & S_IXUSR) != 0, {}, {}});
        } else if (S_ISLNK(info.st_mode)) {
            QByteArray target(qsizetype(info.st_size) + 1, Qt::Uninitialized);
            const ssize_t length = ::readlinkat(fd, entry->d_name, target.data(), target.size());
            if (length < 0 || length >= target.size())
                failSeal(QStringLiteral("%1: unreadable symlink").arg(path));
            target.truncate(length);
            tree.symlinks.insert(path, QFile::decodeName(target));
        } else {
            failSeal(QStringLiteral("%1: not a regular file, folder or symlink").arg(path));
        }
        errno = 0;
    }
    if (errno != 0)
        failSeal(QStringLiteral("%1: %2").arg(absolute, systemReason()));
}

bool isNestedBundle(const QString& root, const QString& folder) {
    if (!folder.startsWith(QLatin1StringView("Contents/")) ||
        !folder.endsWith(QLatin1StringView(".app")))
        return false;
    struct stat info {};
    const QString seal = root + QLatin1Char('/') + folder + QLatin1Char('/') + kSealFolder;
    return ::lstat(QFile::encodeName(seal).constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

struct HashJob {
    QString path;
    TreeFile* file;
    bool keep;
    QString failure;
};

void hashOne(HashJob& job) {
    try {
        struct stat info {};
        const FileDescriptor fd(openRegularFile(job.path, info));
        if (job.keep && info.st_size > kKeptFileLimit)
            failSeal(QStringLiteral("%1: too large").arg(job.path));
        DigestPieceSink keep;
        if (job.keep)
            keep = [&job](const char* data, qsizetype size) {
                if (job.file->contents.size() + size > kKeptFileLimit)
                    failSeal(QStringLiteral("%1: too large").arg(job.path));
                job.file->contents.append(data, size);
            };
        job.file->sha256 = sha256OfDescriptor(fd.get(), job.path, keep);
    } catch (const Error& fault) {
        job.failure = fault.description();
    }
}

// The hashing jobs get a pool of their own: their callers run on the global pool's workers and
// wait for the jobs, so on the global pool the jobs could queue behind those waiting callers
// for ever (two installs checking their bundles at once on two cores did).
QThreadPool& hashingPool() {
    static QThreadPool pool;
    return pool;
}

} // namespace

BundleTree scanBundleTree(const QString& root) {
    BundleTree tree;
    QStringList pending{QString()};
    while (!pending.isEmpty()) {
        const QString folder = pending.takeLast();
        if (isNestedBundle(root, folder))
            tree.nestedBundles.append(folder);
        scanFolder(root, folder, tree, pending);
    }
    tree.nestedBundles.sort();
    return tree;
}

void hashBundleTree(const QString& root, BundleTree& tree, const QStringList& keep) {
    const QSet<QString> kept(keep.cbegin(), keep.cend());
    std::vector<HashJob> jobs;
    jobs.reserve(size_t(tree.files.size()));
    for (auto it = tree.files.begin(); it != tree.files.end(); ++it)
        jobs.push_back(
            {root + QLatin1Char('/') + it.key(), &it.value(), kept.contains(it.key()), {}});
    QtConcurrent::blockingMap(&hashingPool(), jobs, [](HashJob& job) { hashOne(job); });
    for (const HashJob& job : jobs) {
        if (!job.failure.isEmpty())
            failSeal(job.failure);
    }
}

QByteArray readSealFile(const QString& path, qint64 limit) {
    struct stat info {};
    const FileDescriptor fd(openRegularFile(path, info));
    if (info.st_size > limit)
        failSeal(QStringLiteral("%1: too large").arg(path));
    QByteArray bytes;
    bytes.reserve(qsizetype(info.st_size));
    char chunk[65536];
    for (;;) {
        const ssize_t count = ::read(fd.get(), chunk, sizeof chunk);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            failSeal(QStringLiteral("%1: %2").arg(path, systemReason()));
        if (count == 0)
            break;
        if (bytes.size() + count > limit)
            failSeal(QStringLiteral("%1: too large").arg(path));
        bytes.append(chunk, count);
    }
    return bytes;
}

} // namespace nimbara
