#include "install/install_recovery.h"

#include "core/error.h"
#include "core/logging.h"
#include "install/installed_bundle_metadata.h"
#include "platform/freedesktop_trash.h"
#include "platform/process_report.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace nimbara {

namespace {

const QString kUUID =
    QStringLiteral("[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}");

QString systemMessage(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Makes the entries of `folder` durable, renames included.
void syncFolder(const QString& folder) {
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) {
        throw FileError(QStringLiteral("cannot open %1: %2").arg(folder, systemMessage(errno)));
    }
    const int result = ::fsync(fd);
    const int error = errno;
    ::close(fd);
    if (result != 0) {
        throw FileError(QStringLiteral("cannot sync %1: %2").arg(folder, systemMessage(error)));
    }
}

void renameSynced(const QString& from, const QString& to) {
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0) {
        throw FileError(
            QStringLiteral("cannot move %1 to %2: %3").arg(from, to, systemMessage(errno)));
    }
    syncFolder(QFileInfo(to).absolutePath());
}

// Something is at `path`, a dangling symbolic link included.
bool occupied(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// Removes a file, a link (not what it points to) or a whole folder.
void removeEntry(const QString& path) {
    const QFileInfo info(path);
    const bool removed =
        info.isDir() && !info.isSymLink() ? QDir(path).removeRecursively() : QFile::remove(path);
    if (!removed) {
        throw FileError(QStringLiteral("cannot remove %1").arg(path));
    }
}

std::optional<QString> bundleVersion(const QString& path) {
    try {
        return loadInstalledBundleMetadata(QUrl::fromLocalFile(path)).shortVersion;
    } catch (...) {
        return std::nullopt;
    }
}

} // namespace

InstallRecovery::InstallRecovery(QString installRoot, QString temporaryFolder,
                                 QDateTime processStarted, QString keptCopiesRoot)
    : installRoot_(std::move(installRoot)), temporaryFolder_(std::move(temporaryFolder)),
      processStarted_(std::move(processStarted)), keptCopiesRoot_(std::move(keptCopiesRoot)) {}

QDateTime InstallRecovery::processStartTime() {
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const std::optional<qint64> age = millisecondsSinceProcessStart();
    return age ? now.addMSecs(-*age) : now;
}

void InstallRecovery::recover(const QList<RecordedInstall>& recorded) const {
    QStringList folders{QDir::cleanPath(installRoot_)};
    QHash<QString, QString> versions; // by bundle path
    for (const RecordedInstall& install : recorded) {
        const QString path = QDir::cleanPath(install.bundlePath);
        versions.insert(path, install.version);
        const QString folder = QFileInfo(path).absolutePath();
        if (!folders.contains(folder)) {
            folders.append(folder);
        }
    }

    const QRegularExpression backup(QStringLiteral("^(.+)\\.%1\\.backup$").arg(kUUID));
    const QDir::Filters all = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    for (const QString& folder : folders) {
        const QDir dir(folder);
        for (const QString& name : dir.entryList(all, QDir::Name)) {
            const QRegularExpressionMatch match = backup.match(name);
            if (!match.hasMatch()) {
                continue;
            }
            const QString destination = dir.filePath(match.captured(1));
            const auto version = versions.constFind(destination);
            try {
                settleBackup(dir.filePath(name), destination,
                             version == versions.constEnd() ? std::nullopt
                                                            : std::optional(*version));
            } catch (...) {
                qCWarning(logInstall).noquote() << "cannot settle the backup" << dir.filePath(name)
                                                << ":" << currentFailureReason();
            }
        }
        removeLeftovers(folder, QStringLiteral("^.+\\.%1\\.staged$").arg(kUUID));
    }
    removeLeftovers(temporaryFolder_, QStringLiteral("^NimbaraInstall-%1$").arg(kUUID));
    if (!keptCopiesRoot_.isEmpty()) {
        removeLeftovers(keptCopiesRoot_, QStringLiteral("^\\.(incoming|old)-%1$").arg(kUUID));
    }
}

void InstallRecovery::settleBackup(const QString& backupPath, const QString& destination,
                                   const std::optional<QString>& recordedVersion) const {
    if (!occupied(destination)) {
        renameSynced(backupPath, destination);
        qCInfo(logInstall).noquote()
            << "moved the backup" << backupPath << "back to" << destination;
        return;
    }
    if (!recordedVersion) {
        qCWarning(logInstall).noquote()
            << "left the backup" << backupPath << "alone: no install is recorded at" << destination;
        return;
    }
    if (bundleVersion(destination) == recordedVersion) {
        removeEntry(backupPath);
        qCInfo(logInstall).noquote() << "removed the stale backup" << backupPath;
        return;
    }
    if (bundleVersion(backupPath) != recordedVersion) {
        qCWarning(logInstall).noquote()
            << "left the backup" << backupPath << "alone: neither it nor" << destination
            << "carries the recorded version" << *recordedVersion;
        return;
    }
    moveToTrash(QUrl::fromLocalFile(destination));
    if (occupied(destination)) {
        throw FileError(
            QStringLiteral("%1 is still there after moving it to the Trash").arg(destination));
    }
    qCInfo(logInstall).noquote() << "moved the unfinished copy" << destination << "to the Trash";
    renameSynced(backupPath, destination);
    qCInfo(logInstall).noquote() << "moved the backup" << backupPath << "back to" << destination;
}

void InstallRecovery::removeLeftovers(const QString& folder, const QString& pattern) const {
    const QRegularExpression leftover(pattern);
    const QDir dir(folder);
    const QDir::Filters all = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    for (const QString& name : dir.entryList(all, QDir::Name)) {
        if (!leftover.match(name).hasMatch()) {
            continue;
        }
        const QString path = dir.filePath(name);
        // A copy changed since this process started may belong to an install running now.
        const QDateTime changed = QFileInfo(path).fileTime(QFileDevice::FileModificationTime);
        if (!changed.isValid() || changed >= processStarted_) {
            continue;
        }
        try {
            removeEntry(path);
            qCInfo(logInstall).noquote() << "removed the leftover" << path;
        } catch (...) {
            qCWarning(logInstall).noquote()
                << "cannot remove the leftover" << path << ":" << currentFailureReason();
        }
    }
}

} // namespace nimbara
