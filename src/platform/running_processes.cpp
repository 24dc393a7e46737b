#include "platform/running_processes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>

namespace nimbara {

namespace {

// What the kernel appends to /proc/PID/exe when the executable's file is gone.
constexpr QLatin1StringView kDeletedSuffix(" (deleted)");

// The resolved absolute form of `folder`; its cleaned absolute form when it no longer exists.
QString resolvedFolder(const QString& folder) {
    const QFileInfo info(folder);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

bool ownedByCurrentUser(const QByteArray& procEntry) {
    struct stat status {};
    return ::stat(procEntry.constData(), &status) == 0 && status.st_uid == ::geteuid();
}

QString executableOf(const QByteArray& procEntry) {
    const QByteArray link = procEntry + "/exe";
    QByteArray target(4096, Qt::Uninitialized);
    const ssize_t length = ::readlink(link.constData(), target.data(), target.size());
    if (length <= 0 || length >= target.size()) {
        return {};
    }
    target.truncate(length);
    QString path = QFile::decodeName(target);
    if (path.endsWith(kDeletedSuffix)) {
        path.chop(kDeletedSuffix.size());
    }
    return path;
}

} // namespace

QList<qint64> processesRunningFrom(const QString& folder) {
    const QString root = resolvedFolder(folder);
    const QString prefix = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
    QList<qint64> pids;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& entry : entries) {
        bool numeric = false;
        const qint64 pid = entry.toLongLong(&numeric);
        if (!numeric || pid <= 0) {
            continue;
        }
        const QByteArray procEntry = "/proc/" + entry.toLatin1();
        if (!ownedByCurrentUser(procEntry)) {
            continue;
        }
        const QString executable = executableOf(procEntry);
        if (executable.startsWith(prefix)) {
            pids.append(pid);
        }
    }
    std::sort(pids.begin(), pids.end());
    return pids;
}

} // namespace nimbara
