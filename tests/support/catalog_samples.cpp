#include "support/catalog_samples.h"

#include "catalog/seed_manifest.h"

namespace nimbara::test {

AppManifestItem publishedApp(const QString& id, AppReleaseStatus status) {
    AppManifestItem app;
    app.id = id;
    app.name = id.at(0).toUpper() + id.mid(1);
    app.tagline = QStringLiteral("The %1 app").arg(id);
    app.category = QStringLiteral("Utilities");
    app.bundleId = QStringLiteral("com.nimbara.") + id;
    app.version = QStringLiteral("1.0.0");
    app.minMacOS = QStringLiteral("13.0");
    app.status = status;
    app.downloadUrl = QUrl(QStringLiteral("https://downloads.example.com/%1-1.0.0.zip").arg(id));
    app.sha256 = QString(64, QLatin1Char('a'));
    app.symbolName = QStringLiteral("sparkles");
    app.accent = AppAccent::violet;
    app.tags = {QStringLiteral("tools")};
    app.description = QStringLiteral("Does %1 things.").arg(id);
    app.privacyNote = QStringLiteral("Stays on this computer.");
    return app;
}

AppManifestItem comingSoonApp(const QString& id) {
    AppManifestItem app = publishedApp(id, AppReleaseStatus::comingSoon);
    app.downloadUrl.reset();
    app.sha256.reset();
    return app;
}

LauncherManifest catalogWith(const QList<AppManifestItem>& apps) {
    LauncherManifest manifest = SeedManifest::manifest();
    manifest.apps = apps;
    return manifest;
}

} // namespace nimbara::test
