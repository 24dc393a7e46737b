#include "catalog/manifest_policy.h"
#include "tst_store.h"

#include <QCoro/QCoroTask>
#include <QDir>
#include <QScopeGuard>

using namespace nimbara;
using namespace nimbara::test;

void TestStore::installPreconditions_data() {
    QTest::addColumn<AppManifestItem>("app");
    QTest::addColumn<QString>("system");
    QTest::addColumn<QString>("recorded"); // the version recorded as installed; null: none
    QTest::addColumn<bool>("accepted");

    AppManifestItem noDownload = kAlpha;
    noDownload.downloadUrl.reset();
    AppManifestItem needs142 = kAlpha;
    needs142.minMacOS = u"14.2"_qs;
    AppManifestItem unsafeIdentifier = kAlpha;
    unsafeIdentifier.bundleId = u"../com.nimbara.alpha"_qs;

    const QString none;
    QTest::newRow("live") << kAlpha << u"14.5.0"_qs << none << true;
    QTest::newRow("no download") << noDownload << u"14.5.0"_qs << none << false;
    QTest::newRow("14.2 required on 14.1.5") << needs142 << u"14.1.5"_qs << none << false;
    QTest::newRow("14.2 required on 14.2.0") << needs142 << u"14.2.0"_qs << none << true;
    QTest::newRow("unsafe bundle identifier") << unsafeIdentifier << u"14.5.0"_qs << none << false;
    QTest::newRow("installed") << kAlpha << u"14.5.0"_qs << u"1.0.0"_qs << false;
    QTest::newRow("update available") << kAlpha << u"14.5.0"_qs << u"0.9.0"_qs << true;
}

void TestStore::installPreconditions() {
    QFETCH(AppManifestItem, app);
    QFETCH(QString, system);
    QFETCH(QString, recorded);
    QFETCH(bool, accepted);

    StoreHarness h;
    h.fakes.systemInformation->version = *ManifestPolicy::macOSVersion(system);
    if (!recorded.isNull()) {
        h.persistInstalledApp(app, recorded);
    }
    LauncherStore& store = h.start(catalogWith({app}), true);
    const AppInstallState before = store.state(app);
    QCOMPARE(store.canInstall(app), accepted);

    // open() installs what is not installed, so it accepts and refuses exactly as install().
    if (recorded.isNull()) {
        store.open(app);
    } else {
        store.install(app);
    }
    if (!accepted) {
        QCOMPARE(store.errorMessage(), textFor(CopyKey::errorCannotInstall, app.name));
        finishWorkers();
        QCOMPARE(store.state(app), before);
        QVERIFY(h.fakes.installer->calls.isEmpty());
        QVERIFY(h.fakes.eventSink->events.isEmpty());
        return;
    }
    QTRY_COMPARE(store.state(app), kInstalled);
    QCOMPARE(h.fakes.installer->calls.size(), 1);
    // An update hands over the copy to replace.
    QCOMPARE(h.fakes.installer->calls.first().existingInstallURL,
             recorded.isNull() ? std::nullopt : std::optional(h.bundleURL(app)));
    QVERIFY(!store.errorMessage());
}

void TestStore::installOutcome_data() {
    QTest::addColumn<bool>("fails");
    QTest::addColumn<bool>("update");
    QTest::addColumn<bool>("sinkThrows"); // the event sink breaks its promise not to throw

    QTest::newRow("succeeds") << false << false << false;
    QTest::newRow("succeeds while the event sink throws") << false << false << true;
    QTest::newRow("fails") << true << false << false;
    QTest::newRow("failed update keeps the old record") << true << true << false;
    QTest::newRow("fails while the event sink throws") << true << false << true;
}

void TestStore::installOutcome() {
    QFETCH(bool, fails);
    QFETCH(bool, update);
    QFETCH(bool, sinkThrows);

    StoreHarness h;
    const FakeError thrown(
        u"The download's checksum did not match."_qs,
        u"AppInstallerError.checksumMismatch(expected: \"ab\", actual: \"cd\")"_qs);
    if (fails) {
        h.fakes.installer->failures.insert(kAlpha.id, std::make_exception_ptr(thrown));
    }
    const InstalledApp result{QUrl::fromLocalFile(h.fakes.folder + u"/Elsewhere/Alpha.app"_qs),
                              u"1.0.0+7"_qs};
    h.fakes.installer->results.insert(kAlpha.id, result);
    if (sinkThrows) {
        h.fakes.eventSink->error = offline();
    }
    if (update) {
        h.persistInstalledApp(kAlpha, u"0.9.0"_qs);
    }
    const std::shared_ptr<Gate> gate = h.fakes.installer->hold(kAlpha.id);
    LauncherStore& store = h.start(catalogWith({kAlpha}), true);
    store.setErrorMessage(u"An earlier problem"_qs);
    const auto versions = h.fakes.persistedVersions();
    const auto paths = h.fakes.persistedPaths();
    const LauncherStore::InstalledAppURLs urls = store.installedAppURLs();

    store.install(kAlpha);
    QTRY_COMPARE(h.fakes.installer->calls.size(), 1);
    QCOMPARE(store.state(kAlpha), kInstalling);
    QCOMPARE(h.fakes.eventSink->events, QList{alphaEvent("install_started", "started")});
    gate->open();
    QTRY_COMPARE(h.fakes.eventSink->events.size(), 2);

    if (!fails) {
        QCOMPARE(h.fakes.eventSink->events.last(), alphaEvent("install_succeeded", "succeeded"));
        QCOMPARE(store.state(kAlpha), AppInstallState::installed(result.version));
        QCOMPARE(store.installedAppURLs().value(kAlpha.id), result.url);
        QCOMPARE(h.fakes.persistedVersions(),
                 (QMap<QString, QString>{{kAlpha.id, result.version}}));
        QCOMPARE(h.fakes.persistedPaths(),
                 (QMap<QString, QString>{{kAlpha.id, result.url.toLocalFile()}}));
        QCOMPARE(store.errorMessage(), u"An earlier problem"_qs);
        QVERIFY(h.fakes.errorReporter->reports.isEmpty());
        return;
    }
    const QString message = textFor(CopyKey::errorInstallFailed, u"Alpha"_qs, thrown.description());
    QCOMPARE(store.state(kAlpha), AppInstallState::failed(message));
    QCOMPARE(store.errorMessage(), message);
    QCOMPARE(h.fakes.eventSink->events.last(),
             alphaEvent("install_failed", "failed", thrown.rendering()));
    QCOMPARE(h.fakes.errorReporter->reports, (Reports{{thrown.description(),
                                                       {{u"flow"_qs, u"install"_qs},
                                                        {u"app"_qs, u"alpha"_qs},
                                                        {u"version"_qs, u"1.0.0"_qs}}}}));
    QCOMPARE(h.fakes.persistedVersions(), versions);
    QCOMPARE(h.fakes.persistedPaths(), paths);
    QCOMPARE(store.installedAppURLs(), urls);

    // A failed app may be installed again.
    h.fakes.installer->failures.clear();
    store.install(kAlpha);
    QTRY_COMPARE(store.state(kAlpha), AppInstallState::installed(result.version));
}

void TestStore::oneInstallPerAppAtATime() {
    StoreHarness h;
    const std::shared_ptr<Gate> alphaGate = h.fakes.installer->hold(kAlpha.id);
    const std::shared_ptr<Gate> bravoGate = h.fakes.installer->hold(kBravo.id);
    LauncherStore& store = h.start(catalogWith({kAlpha, kBravo}));

    store.install(kAlpha);
    store.install(kAlpha); // before the first task has run
    store.install(kBravo); // another app installs alongside
    QTRY_COMPARE(h.fakes.installer->inFlight, 2);
    store.setErrorMessage(std::nullopt);
    store.install(kAlpha); // while it installs
    QCOMPARE(store.errorMessage(), textFor(CopyKey::errorCannotInstall, u"Alpha"_qs));

    bravoGate->open();
    QTRY_COMPARE(store.state(kBravo), kInstalled);
    QCOMPARE(store.state(kAlpha), kInstalling);
    alphaGate->open();
    QTRY_COMPARE(store.state(kAlpha), kInstalled);
    settle();
    QCOMPARE(h.fakes.installer->calls.size(), 2);
    QCOMPARE(h.fakes.eventSink->events.size(), 4);

    // Each install recorded its own entries without losing the other's.
    QCOMPARE(h.fakes.persistedVersions(),
             (QMap<QString, QString>{{kAlpha.id, u"1.0.0"_qs}, {kBravo.id, u"1.0.0"_qs}}));
    QCOMPARE(h.fakes.persistedPaths(),
             (QMap<QString, QString>{{kAlpha.id, h.fakes.bundlePath(kAlpha.name)},
                                     {kBravo.id, h.fakes.bundlePath(kBravo.name)}}));
    QCOMPARE(store.installedAppURLs().size(), 2);
}

void TestStore::installOutlivesDestroyedStore_data() {
    QTest::addColumn<bool>("installerFails");
    QTest::newRow("installer succeeds") << false;
    QTest::newRow("installer fails") << true;
}

void TestStore::installOutlivesDestroyedStore() {
    QFETCH(bool, installerFails);

    StoreHarness h;
    const std::shared_ptr<Gate> gate = h.fakes.installer->hold(kAlpha.id);
    if (installerFails) {
        h.fakes.installer->failures.insert(kAlpha.id,
                                           std::make_exception_ptr(FakeError(u"x"_qs, u"y"_qs)));
    }
    LauncherStore& store = h.start(catalogWith({kAlpha}));
    store.setOnboardingComplete(true); // so that the preferences file exists
    store.install(kAlpha);
    QTRY_COMPARE(h.fakes.installer->calls.size(), 1);
    const QByteArray preferences = readFile(h.fakes.preferencesPath);

    h.store.reset();
    gate->open();
    QTRY_COMPARE(h.fakes.installer->finished, 1);
    settle();

    // Nothing but the installer's own return happened after the store had gone.
    QCOMPARE(readFile(h.fakes.preferencesPath), preferences);
    QCOMPARE(h.fakes.eventSink->events.size(), 1);
    QVERIFY(h.fakes.errorReporter->reports.isEmpty());
}

void TestStore::openInstalledApp_data() {
    QTest::addColumn<QString>("bundle"); // "recorded", "moved" or "nowhere"
    QTest::addColumn<bool>("update");
    QTest::addColumn<bool>("awaited"); // through openApp(), whose answer is checked

    QTest::newRow("at the recorded location") << u"recorded"_qs << false << false;
    QTest::newRow("update available") << u"recorded"_qs << true << false;
    QTest::newRow("moved, found by identifier") << u"moved"_qs << false << false;
    QTest::newRow("found nowhere") << u"nowhere"_qs << false << false;
    QTest::newRow("update available, found nowhere") << u"nowhere"_qs << true << false;
    QTest::newRow("awaited, recorded") << u"recorded"_qs << false << true;
    QTest::newRow("awaited, moved") << u"moved"_qs << true << true;
    QTest::newRow("awaited, found nowhere") << u"nowhere"_qs << false << true;
}

void TestStore::openInstalledApp() {
    QFETCH(QString, bundle);
    QFETCH(bool, update);
    QFETCH(bool, awaited);

    StoreHarness h;
    h.persistInstalledApp(kAlpha, update ? u"0.9.0"_qs : u"1.0.0"_qs);
    LauncherStore& store = h.start(catalogWith({kAlpha}), true);
    const AppInstallState before = store.state(kAlpha);
    QCOMPARE(before.kind(),
             update ? AppInstallState::Case::updateAvailable : AppInstallState::Case::installed);
    const QUrl recorded = h.bundleURL(kAlpha);
    const QUrl moved = QUrl::fromLocalFile(h.fakes.folder + u"/Moved/Alpha.app"_qs);
    if (bundle != u"recorded"_qs) {
        QVERIFY(QDir(recorded.toLocalFile()).removeRecursively());
    }
    if (bundle == u"moved"_qs) {
        h.fakes.workspace->applications.insert(kAlpha.bundleId, moved);
    }

    if (awaited) {
        QCOMPARE(QCoro::waitFor(store.openApp(kAlpha)), bundle != u"nowhere"_qs);
    } else {
        store.open(kAlpha);
    }
    finishWorkers();

    if (bundle == u"nowhere"_qs) {
        QVERIFY(h.fakes.workspace->opened.isEmpty());
        QCOMPARE(store.state(kAlpha), AppInstallState::notInstalled());
        QVERIFY(!store.installedAppURLs().contains(kAlpha.id));
        QVERIFY(h.fakes.persistedVersions().isEmpty());
        QVERIFY(h.fakes.persistedPaths().isEmpty());
        QCOMPARE(store.errorMessage(), textFor(CopyKey::errorNoBundle, u"Alpha"_qs));
    } else {
        QCOMPARE(h.fakes.workspace->opened, QList{bundle == u"moved"_qs ? moved : recorded});
        QCOMPARE(store.state(kAlpha), before);
        QCOMPARE(store.installedAppURLs().value(kAlpha.id), recorded);
        QVERIFY(!store.errorMessage());
    }
    QVERIFY(h.fakes.installer->calls.isEmpty());
}

// Unlike open(), openApp() leaves an app that is not installed alone.
void TestStore::openAppNeverInstalls() {
    StoreHarness h;
    LauncherStore& store = h.start(catalogWith({kAlpha}), true);
    QVERIFY(!QCoro::waitFor(store.openApp(kAlpha)));
    finishWorkers();
    QCOMPARE(store.state(kAlpha), AppInstallState::notInstalled());
    QVERIFY(h.fakes.installer->calls.isEmpty());
    QVERIFY(h.fakes.workspace->opened.isEmpty());
    QVERIFY(!store.errorMessage());
}

void TestStore::reloadDuringInstall() {
    StoreHarness h;
    h.persistInstalledApp(kAlpha, u"0.9.0"_qs); // the install is an update
    const std::shared_ptr<Gate> gate = h.fakes.installer->hold(kAlpha.id);
    h.fakes.manifestLoader->catalog = catalogWith({kAlpha, kBravo});
    LauncherStore& store = h.start(catalogWith({kAlpha}), true);
    QCOMPARE(store.state(kAlpha).kind(), AppInstallState::Case::updateAvailable);

    store.install(kAlpha);
    QTRY_COMPARE(h.fakes.installer->inFlight, 1);

    // A catalog load re-validates the old copy meanwhile, but leaves the running update alone.
    h.loadManifest();
    QCOMPARE(store.manifest().apps.size(), 2);
    QCOMPARE(store.state(kAlpha), kInstalling);
    gate->open();
    QTRY_COMPARE(store.state(kAlpha), kInstalled);
    QCOMPARE(h.fakes.persistedVersions().value(kAlpha.id), u"1.0.0"_qs);
}

void TestStore::openWhileLookupRuns_data() {
    QTest::addColumn<bool>("destroyStore"); // else: the app is removed while the worker looks
    QTest::newRow("store destroyed") << true;
    QTest::newRow("app removed meanwhile") << false;
}

void TestStore::openWhileLookupRuns() {
    QFETCH(bool, destroyStore);

    StoreHarness h;
    h.persistInstalledApp(kAlpha, u"1.0.0"_qs);
    LauncherStore& store = h.start(catalogWith({kAlpha}), true);
    QVERIFY(QDir(h.bundleURL(kAlpha).toLocalFile()).removeRecursively());
    h.fakes.workspace->latch.close();
    const auto reopen = qScopeGuard([&] { h.fakes.workspace->latch.open(); });

    store.open(kAlpha); // returns while the worker waits in the lookup
    settle();
    QCOMPARE(store.state(kAlpha), kInstalled);
    if (destroyStore) {
        h.store.reset();
    } else {
        QCoro::waitFor(store.uninstall(kAlpha.id, false));
        // A newer record, which the ending lookup must not clear.
        h.fakes.persistInstall(kAlpha.id, u"1.0.0"_qs, h.fakes.bundlePath(kAlpha.name));
    }
    const QByteArray preferences = readFile(h.fakes.preferencesPath);
    h.fakes.workspace->latch.open();
    finishWorkers();

    QVERIFY(h.fakes.workspace->opened.isEmpty());
    QCOMPARE(readFile(h.fakes.preferencesPath), preferences);
    if (!destroyStore) {
        QVERIFY(!store.errorMessage());
    }
}
