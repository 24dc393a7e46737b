// The store wired with the real catalog client, talking to the real development server.
#include "catalog/manifest_coding.h"
#include "catalog/seed_manifest.h"
#include "services/remote_manifest_client.h"
#include "support/catalog_samples.h"
#include "support/dev_server_process.h"
#include "support/fake_collaborators.h"
#include "support/sample_bundle.h"
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

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestIntegration : public QObject {
    Q_OBJECT

    std::unique_ptr<FakeCollaborators> fakes_;
    std::unique_ptr<DevServerProcess> server_;
    QNetworkAccessManager network_;

    // A store whose catalog comes from the server, with the seed catalog before the first load.
    std::unique_ptr<LauncherStore> store(NimbaraLocale locale = NimbaraLocale::en) {
        LauncherStoreWiring wiring = fakes_->wiring(SeedManifest::manifest());
        wiring.manifestLoader = std::make_shared<RemoteManifestClient>(
            server_->url(u"/api/launcher/manifest"_qs), network_, 5s);
        wiring.locale = locale;
        return std::make_unique<LauncherStore>(std::move(wiring));
    }

private Q_SLOTS:
    void init() {
        fakes_ = std::make_unique<FakeCollaborators>();
        const QDir root(QDir(fakes_->folder).filePath(u"server"_qs));
        QVERIFY(root.mkpath(u"."_qs));
        LauncherManifest english =
            catalogWith({comingSoonApp(u"later"_qs), publishedApp(u"notes"_qs)});
        english.announcements = {LauncherAnnouncement()};
        english.announcements[0].id = u"launch-notes"_qs;
        english.announcements[0].appId = u"notes"_qs;
        writeBytes(root.filePath(u"catalog.json"_qs), encodeLauncherManifestJson(english));
        english.apps[1].tagline = u"Notatki"_qs;
        writeBytes(root.filePath(u"catalog.pl.json"_qs), encodeLauncherManifestJson(english));
        server_ = std::make_unique<DevServerProcess>(
            root.path(), QDir(fakes_->folder).filePath(u"db.sqlite"_qs));
        QVERIFY2(server_->start(), qPrintable(server_->error()));
    }

    void startUpAgainstTheDevServer() {
        const auto started = store(NimbaraLocale::pl);
        LauncherStore& store = *started;
        QCoro::waitFor(store.loadStoredStateIfNeeded());
        QCoro::waitFor(store.loadManifest());

        // The Polish catalog arrived whole, states were merged and a published app is selected.
        QCOMPARE(store.manifest().apps.size(), 2);
        QCOMPARE(store.manifest().apps[0].id, u"later"_qs);
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

    void deadServerKeepsTheLastCatalog() {
        const auto store = this->store();
        QCoro::waitFor(store->loadManifest());
        const LauncherManifest loaded = store->manifest();
        QCOMPARE(loaded.apps.size(), 2);
        const QByteArray preferencesBefore = readFile(fakes_->preferencesPath);

        server_->stop();
        QCoro::waitFor(store->loadManifest());
        QCOMPARE(store->manifest(), loaded);
        QCOMPARE(store->errorMessage(), std::optional(NimbaraCopy::text(
                                            CopyKey::errorManifestFallback, NimbaraLocale::en)));
        QCOMPARE(readFile(fakes_->preferencesPath), preferencesBefore);
    }
};

NIMBARA_TEST_MAIN(TestIntegration)
#include "tst_integration.moc"
