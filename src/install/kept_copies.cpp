#include "install/kept_copies.h"

#include "core/error.h"
#include "core/logging.h"
#include "core/plain_identifier.h"
#include "install/bundle_placement.h"
#include "platform/freedesktop_trash.h"
#include "platform/xdg_base_directories.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace nimbara {

namespace {

const QString kRecordName = QStringLiteral("kept.json");

void writeRecord(const QString& folder, const QString& bundleName, const QString& version) {
    QSaveFile file(QDir(folder).filePath(kRecordName));
    const QByteArray bytes = QJsonDocument(QJsonObject{{QStringLiteral("version"), version},
                                                       {QStringLiteral("bundle"), bundleName}})
                                 .toJson();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw FileError(
            QStringLiteral("Could not write %1: %2").arg(file.fileName(), file.errorString()));
}

// Moves `from` to the new path `to`; across file systems it is copied, then removed.
void moveBundle(const QString& from, const QString& to) {
    try {
        renameDurably(from, to);
        return;
    } catch (const FileError& error) {
        if (!QFileInfo(from).isDir() || QFileInfo(from).isSymLink())
            throw;
        qCInfo(logInstall).noquote() << error.description() << "- copying instead";
    }
    copyBundleTree(from, to);
    if (!removeEntry(from))
        qCWarning(logInstall).noquote() << "could not remove" << from << "after copying it";
}

} // namespace

KeptCopies::KeptCopies(QString root) : root_(QDir::cleanPath(root)) {}

QString KeptCopies::defaultRoot() {
    return xdgDataHome() + QStringLiteral("/nimbara/previous");
}

QString KeptCopies::folderOf(const QString& appID) const {
    if (!isPlainIdentifier(appID))
        throw FileError(QStringLiteral("%1 cannot name a folder of kept copies").arg(appID));
    return QDir(root_).filePath(appID);
}

void KeptCopies::keep(const QString& appID, const QString& bundle, const QString& version,
                      const QString& bundleName) const {
    const QString folder = folderOf(appID);
    if (!QDir().mkpath(root_))
        throw FileError(QStringLiteral("Could not create %1").arg(root_));
    const QString incoming = QDir(root_).filePath(QStringLiteral(".incoming-") + canonicalUuid());
    if (!QDir().mkdir(incoming))
        throw FileError(QStringLiteral("Could not create %1").arg(incoming));
    try {
        const QString name = bundleName.isEmpty() ? QFileInfo(bundle).fileName() : bundleName;
        moveBundle(bundle, QDir(incoming).filePath(name));
        writeRecord(incoming, name, version);
        const QString old = QDir(root_).filePath(QStringLiteral(".old-") + canonicalUuid());
        const bool hadOne = entryExists(folder);
        if (hadOne)
            renameDurably(folder, old);
        renameDurably(incoming, folder);
        if (hadOne && !removeEntry(old))
            qCWarning(logInstall).noquote() << "could not remove the replaced kept copy" << old;
    } catch (...) {
        if (!removeEntry(incoming))
            qCWarning(logInstall).noquote() << "could not remove" << incoming;
        throw;
    }
}

std::optional<KeptCopy> KeptCopies::find(const QString& appID) const {
    if (!isPlainIdentifier(appID))
        return std::nullopt;
    const QString folder = folderOf(appID);
    QFile file(QDir(folder).filePath(kRecordName));
    if (!file.exists())
        return std::nullopt;
    QJsonParseError parsed{};
    const QJsonObject record = file.open(QIODevice::ReadOnly)
                                   ? QJsonDocument::fromJson(file.read(64 * 1024), &parsed).object()
                                   : QJsonObject();
    const QString version = record.value(QStringLiteral("version")).toString();
    const QString name = record.value(QStringLiteral("bundle")).toString();
    const QFileInfo bundle(QDir(folder).filePath(name));
    // The record names a bundle of this folder, never a path leading elsewhere.
    if (version.isEmpty() || !name.endsWith(QStringLiteral(".app")) || name.contains(u'/') ||
        name.startsWith(u'.') || !bundle.isDir() || bundle.isSymLink()) {
        qCWarning(logInstall).noquote() << "the kept copy in" << folder << "is unreadable";
        return std::nullopt;
    }
    return KeptCopy{appID, bundle.filePath(), version};
}

QStringList KeptCopies::appIDs() const {
    QStringList ids;
    // Hidden names (an unfinished copy, a replaced one) are not apps.
    for (const QString& name : QDir(root_).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        if (isPlainIdentifier(name))
            ids.append(name);
    return ids;
}

QList<KeptCopy> KeptCopies::all() const {
    QList<KeptCopy> copies;
    for (const QString& appID : appIDs())
        if (const std::optional<KeptCopy> copy = find(appID))
            copies.append(*copy);
    return copies;
}

void KeptCopies::remove(const QString& appID) const {
    const QString folder = folderOf(appID);
    if (!removeEntry(folder))
        throw FileError(QStringLiteral("Could not remove %1").arg(folder));
}

void KeptCopies::moveToTrash(const QString& appID) const {
    const QString folder = folderOf(appID);
    if (entryExists(folder))
        nimbara::moveToTrash(QUrl::fromLocalFile(folder));
}

} // namespace nimbara
