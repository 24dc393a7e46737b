// The store wired with the real catalog client, talking to the real development server.
#include "catalog/manifest_coding.h"
#include "catalog/seed_manifest.h"
#include "services/remote_manifest_client.h"
#include "support/catalog_samples.h"
#include "support/dev_server_process.h"
#include "support/fake_collaborators.h"
#include "support/temp_home.h"
#include "text/nimbara_copy.h"

#include <QCoro/QCoroTask>
#include <QDir>
#include <QFile>
#include <QNetworkAccessManager>
#include <QTest>

using namespace nimbara;
using namespace nimbara::test;
using namespace std::chrono_literals;

namespace {

void writeCatalog(const QString& path, const LauncherManifest& manifest) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(encodeLauncherManifestJson(manifest));
}

QStringList appIDs(const LauncherManifest& manifest) {
    QStringList ids;
    for (const AppManifestItem& app : manifest.apps) {
        ids << app.id;
    }
    return ids;
}

} // namespace

class TestIntegration : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void startUpAgainstTheDevServer();
    void deadServerKeepsTheLastCatalog();

private:
    std::unique_ptr<FakeCollaborators> fakes_;
    std::unique_ptr<DevServerProcess> server_;
    QString root_;
    QNetworkAccessManager network_;
};

void TestIntegration::init() {
    fakes_ = std::make_unique<FakeCollaborators>();
    root_ = QDir(fakes_->folder).filePath(u"server"_qs);
    QVERIFY(QDir().mkpath(root_));
    LauncherManifest english = catalogWith({comingSoonApp(u"later"_qs), publishedApp(u"notes"_qs)});
    LauncherAnnouncement announcement;
    announcement.id = u"launch-notes"_qs;
    announcement.appId = u"notes"_qs;
    english.announcements = {announcement};
    writeCatalog(QDir(root_).filePath(u"catalog.json"_qs), english);
    LauncherManifest polish = english;
    polish.apps[1].tagline = u"Notatki"_qs;
    writeCatalog(QDir(root_).filePath(u"catalog.pl.json"_qs), polish);

    server_ =
        std::make_unique<DevServerProcess>(root_, QDir(fakes_->folder).filePath(u"db.sqlite"_qs));
    QVERIFY2(server_->start(), qPrintable(server_->error()));
}

void TestIntegration::startUpAgainstTheDevServer() {
    LauncherStoreWiring wiring = fakes_->wiring(SeedManifest::manifest());
    wiring.manifestLoader = std::make_shared<RemoteManifestClient>(
        server_->url(u"/api/launcher/manifest"_qs), network_);
    wiring.locale = NimbaraLocale::pl;
    LauncherStore store(std::move(wiring));

    QCoro::waitFor(store.loadStoredStateIfNeeded());
    QCoro::waitFor(store.loadManifest());

    // The Polish catalog arrived whole, states were merged and a published app is selected.
    QCOMPARE(appIDs(store.manifest()), (QStringList{u"later"_qs, u"notes"_qs}));
    QCOMPARE(store.manifest().apps[1].tagline, u"Notatki"_qs);
    QCOMPARE(store.state(u"notes"_qs), AppInstallState::notInstalled());
    QCOMPARE(store.selectedAppID(), std::optional<QString>(u"notes"_qs));
    QVERIFY(!store.errorMessage().has_value());
    // The first load sets the announcement baseline: nothing is shown, everything is seen.
    QVERIFY(!store.pendingAnnouncement().has_value());
    QCOMPARE(fakes_->preferences->stringArrayForKey(u"nimbara.seenAnnouncementIDs"_qs),
             std::optional<QStringList>(QStringList{u"launch-notes"_qs}));
    QVERIFY(store.requiresOnboarding());
}

void TestIntegration::deadServerKeepsTheLastCatalog() {
    LauncherStoreWiring wiring = fakes_->wiring(SeedManifest::manifest());
    wiring.manifestLoader = std::make_shared<RemoteManifestClient>(
        server_->url(u"/api/launcher/manifest"_qs), network_, 5s);
    LauncherStore store(std::move(wiring));
    QCoro::waitFor(store.loadManifest());
    const LauncherManifest loaded = store.manifest();
    QCOMPARE(appIDs(loaded).size(), 2);
    const QByteArray preferencesBefore = [&] {
        QFile file(fakes_->preferencesPath);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();

    server_->stop();
    QCoro::waitFor(store.loadManifest());

    QCOMPARE(store.manifest(), loaded);
    QCOMPARE(store.errorMessage(),
             std::optional(NimbaraCopy::text(CopyKey::errorManifestFallback, NimbaraLocale::en)));
    QFile after(fakes_->preferencesPath);
    QVERIFY(after.open(QIODevice::ReadOnly));
    QCOMPARE(after.readAll(), preferencesBefore);
}

NIMBARA_TEST_MAIN(TestIntegration)
#include "tst_integration.moc"
