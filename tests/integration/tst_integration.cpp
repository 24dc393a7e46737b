// The store wired with the real catalog client, talking to the real development server.
#include "catalog/manifest_coding.h"
#include "catalog/seed_manifest.h"
#include "services/remote_manifest_client.h"
#include "support/catalog_samples.h"
#include "support/dev_server_process.h"
#include "support/fake_collaborators.h"
#include "support/sample_bundle.h"
#include "support/temp_home.h"

#include <QCoro/QCoroTask>
#include <QDir>
#include <QNetworkAccessManager>
#include <QTest>

using namespace nimbara;
using namespace nimbara::test;
using namespace std::chrono_literals;

class TestIntegration : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void startUpAgainstTheDevServer() {
        FakeCollaborators fakes;
        const QDir root(QDir(fakes.folder).filePath(u"server"_qs));
        QVERIFY(root.mkpath(u"."_qs));
        LauncherManifest catalog =
            catalogWith({comingSoonApp(u"later"_qs), publishedApp(u"notes"_qs)});
        writeBytes(root.filePath(u"catalog.json"_qs), encodeLauncherManifestJson(catalog));
        catalog.apps[1].tagline = u"Notatki"_qs;
        writeBytes(root.filePath(u"catalog.pl.json"_qs), encodeLauncherManifestJson(catalog));
        DevServerProcess server(root.path(), QDir(fakes.folder).filePath(u"db.sqlite"_qs));
        QVERIFY2(server.start(), qPrintable(server.error()));
        QNetworkAccessManager network;
        LauncherStoreWiring wiring = fakes.wiring(SeedManifest::manifest());
        wiring.manifestLoader = std::make_shared<RemoteManifestClient>(
            server.url(u"/api/launcher/manifest"_qs), network, 5s);
        wiring.locale = NimbaraLocale::pl;
        LauncherStore store(std::move(wiring));
        QCoro::waitFor(store.loadStoredStateIfNeeded());
        QCoro::waitFor(store.loadManifest());

        // The Polish catalog arrived whole and its states were merged.
        QCOMPARE(store.manifest(), catalog);
        QCOMPARE(store.state(u"notes"_qs), AppInstallState::notInstalled());
        QVERIFY(!store.errorMessage().has_value());
    }
};

NIMBARA_TEST_MAIN(TestIntegration)
#include "tst_integration.moc"
