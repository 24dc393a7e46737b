#include "platform/freedesktop_trash.h"

#include "core/error.h"
#include "platform/xdg_base_directories.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <unistd.h>

namespace nimbara {

namespace {

QString canonicalOrClean(const QString& path) {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(path) : canonical;
}

// True when `root` is the home Trash or the Trash at the top of a file system
// (<top>/.Trash/<uid> or <top>/.Trash-<uid>).
bool isTrashRoot(const QString& root, const QString& homeTrash) {
    if (root == homeTrash) {
        return true;
    }
    const QString uid = QString::number(::getuid());
    const QFileInfo info(root);
    return info.fileName() == QStringLiteral(".Trash-") + uid ||
           (info.fileName() == uid && QFileInfo(info.path()).fileName() == u".Trash");
}

// True when `trashed` lies directly in the `files` folder of a Trash whose `info` folder holds
// its record.
bool arrivedInTrash(const QString& trashed, const QString& homeTrash) {
    const QFileInfo item(trashed);
    const QFileInfo files(item.path());
    if (files.fileName() != u"files" || !isTrashRoot(canonicalOrClean(files.path()), homeTrash)) {
        return false;
    }
    return QFileInfo::exists(files.path() + QStringLiteral("/info/") + item.fileName() +
                             QStringLiteral(".trashinfo"));
}

// Removes the record written for an item that went into a stray `files` folder and has been
// moved back, and that folder and its `info` sibling when they are left empty.
void forgetStrayTrash(const QString& trashed) {
    const QFileInfo item(trashed);
    const QDir root = QFileInfo(item.path()).dir();
    QFile::remove(
        root.filePath(QStringLiteral("info/") + item.fileName() + QStringLiteral(".trashinfo")));
    root.rmdir(QStringLiteral("files"));
    root.rmdir(QStringLiteral("info"));
}

} // namespace

void moveToTrash(const QUrl& item) {
    if (!item.isLocalFile()) {
        throw FileError(QStringLiteral("%1 is not a local file.").arg(item.toDisplayString()));
    }
    const QString path = QDir::cleanPath(item.toLocalFile());
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) {
        throw FileError(QStringLiteral("%1: No such file or directory.").arg(path));
    }
    const QString homeTrash = xdgDataHome() + QStringLiteral("/Trash");
    for (const QString& folder : {QStringLiteral("/files"), QStringLiteral("/info")}) {
        if (!QDir().mkpath(homeTrash + folder)) {
            throw FileError(
                QStringLiteral("Cannot create the Trash folder %1.").arg(homeTrash + folder));
        }
    }
    QFile file(path);
    if (!file.moveToTrash()) {
        throw FileError(
            QStringLiteral("Cannot move %1 to the Trash: %2").arg(path, file.errorString()));
    }
    const QString trashed = file.fileName();
    if (!arrivedInTrash(trashed, canonicalOrClean(homeTrash))) {
        const bool restored = QDir().rename(trashed, path);
        if (restored) {
            forgetStrayTrash(trashed);
        }
        throw FileError(
            QStringLiteral("%1 did not arrive in the Trash (it went to %2%3).")
                .arg(path, trashed, restored ? QStringLiteral(" and was moved back") : QString()));
    }
}

} // namespace nimbara
