#include "demo_catalog.h"

#include "catalog/manifest_coding.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QList>
#include <utility>

namespace nimbara::demo {

namespace {

QByteArray readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw DemoCatalogError(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    return file.readAll();
}

QJsonObject readObject(const QString& path) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(readFile(path), &error);
    if (error.error != QJsonParseError::NoError)
        throw DemoCatalogError(QStringLiteral("%1 is not JSON: %2 at offset %3")
                                   .arg(path, error.errorString())
                                   .arg(error.offset));
    if (!document.isObject())
        throw DemoCatalogError(QStringLiteral("%1 does not hold a JSON object").arg(path));
    return document.object();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size() || !file.flush())
        throw DemoCatalogError(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
}

void copyFile(const QString& from, const QString& to) {
    QFile::remove(to);
    QFile source(from);
    if (!source.copy(to))
        throw DemoCatalogError(
            QStringLiteral("cannot copy %1 to %2: %3").arg(from, to, source.errorString()));
}

QJsonObject applyAppOverlay(QJsonObject app, const QJsonObject& changes) {
    for (auto it = changes.begin(); it != changes.end(); ++it) {
        if (it.key() == QLatin1String("releaseNotes")) {
            QJsonArray notes = it.value().toArray();
            for (const QJsonValue& note : app.value(QLatin1String("releaseNotes")).toArray())
                notes.append(note);
            app.insert(it.key(), notes);
        } else {
            app.insert(it.key(), it.value());
        }
    }
    return app;
}

bool isInstallable(AppReleaseStatus status) {
    return status == AppReleaseStatus::beta || status == AppReleaseStatus::live;
}

QUrl downloadUrl(const QUrl& base, const QString& relativePath) {
    QUrl url = base;
    QString path = url.path();
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    url.setPath(path + relativePath);
    return url;
}

} // namespace

QJsonObject applyOverlay(QJsonObject base, const QJsonObject& overlay) {
    for (auto it = overlay.begin(); it != overlay.end(); ++it) {
        if (it.key() != QLatin1String("apps") && it.key() != QLatin1String("announcements"))
            base.insert(it.key(), it.value());
    }
    QJsonArray apps = base.value(QLatin1String("apps")).toArray();
    for (const QJsonValue& change : overlay.value(QLatin1String("apps")).toArray()) {
        const QString id = change.toObject().value(QLatin1String("id")).toString();
        qsizetype index = 0;
        while (index < apps.size() &&
               apps.at(index).toObject().value(QLatin1String("id")).toString() != id)
            ++index;
        if (id.isEmpty() || index == apps.size())
            throw DemoCatalogError(
                QStringLiteral("the overlay changes an app the catalog does not list: \"%1\"")
                    .arg(id));
        apps.replace(index, applyAppOverlay(apps.at(index).toObject(), change.toObject()));
    }
    base.insert(QStringLiteral("apps"), apps);
    QJsonArray announcements = base.value(QLatin1String("announcements")).toArray();
    for (const QJsonValue& announcement : overlay.value(QLatin1String("announcements")).toArray())
        announcements.append(announcement);
    if (!announcements.isEmpty() || overlay.contains(QLatin1String("announcements")))
        base.insert(QStringLiteral("announcements"), announcements);
    return base;
}

QString packageFileName(const QString& appId, const QString& version) {
    return QStringLiteral("%1-%2.zip").arg(appId, version);
}

void generateCatalog(const CatalogGeneration& generation) {
    QJsonObject document = readObject(generation.templatePath);
    if (!generation.overlayPath.isEmpty())
        document = applyOverlay(document, readObject(generation.overlayPath));
    LauncherManifest catalog;
    try {
        catalog = decodeLauncherManifest(QJsonDocument(document).toJson());
    } catch (const Error& error) {
        throw DemoCatalogError(QStringLiteral("the launcher would reject the catalog from %1: %2")
                                   .arg(generation.templatePath, error.description()));
    }

    // Every input is checked before the folder is touched, so a failed run leaves the last
    // generation as it was.
    QList<std::pair<QString, QString>> copies; // source -> path inside the output folder
    for (AppManifestItem& app : catalog.apps) {
        if (isInstallable(app.status)) {
            const QString served =
                QStringLiteral("downloads/") + packageFileName(app.id, app.version);
            const QString package =
                generation.packagesDir + QLatin1Char('/') + packageFileName(app.id, app.version);
            if (!QFileInfo(package).isFile())
                throw DemoCatalogError(
                    QStringLiteral("%1 %2 is offered but has no package: %3 is missing")
                        .arg(app.name, app.version, package));
            copies.append({package, served});
            app.downloadUrl = downloadUrl(generation.baseUrl, served);
            app.sha256 = QString::fromLatin1(
                QCryptographicHash::hash(readFile(package), QCryptographicHash::Sha256).toHex());
        }
        const QString icon =
            generation.iconsDir + QLatin1Char('/') + app.id + QStringLiteral(".png");
        if (!generation.iconsDir.isEmpty() && QFileInfo(icon).isFile()) {
            const QString served =
                QStringLiteral("downloads/icons/") + app.id + QStringLiteral(".png");
            copies.append({icon, served});
            app.iconUrl = downloadUrl(generation.baseUrl, served);
        }
    }

    const QString downloads = generation.outputDir + QStringLiteral("/downloads");
    if (!QDir(downloads).removeRecursively() ||
        !QDir().mkpath(downloads + QStringLiteral("/icons")))
        throw DemoCatalogError(QStringLiteral("cannot make a fresh %1").arg(downloads));
    for (const auto& [source, served] : copies)
        copyFile(source, generation.outputDir + QLatin1Char('/') + served);
    writeFile(generation.outputDir + QStringLiteral("/catalog.json"),
              encodeLauncherManifestJson(catalog));
}

} // namespace nimbara::demo
