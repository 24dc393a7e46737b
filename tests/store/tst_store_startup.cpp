#include "install/installed_code_validation_error.h"
#include "services/xdg_autostart_login_item_adapter.h"
#include "tst_store.h"

#include <QCoro/QCoroTask>
#include <QDir>
#include <QFile>
#include <QScopeGuard>

using namespace nimbara;
using namespace nimbara::test;

void TestStore::revalidatesPersistedInstalls_data() {
    QTest::addColumn<QString>("bundle"); // what lies at the recorded path
    QTest::addColumn<QString>("installedVersion");
    QTest::addColumn<QString>("catalogVersion");
    QTest::addColumn<AppInstallState>("expected");
    QTest::addColumn<bool>("reinstallMessage");

    const AppInstallState gone = AppInstallState::notInstalled();
    QTest::newRow("newer in the catalog")
        << u"matching"_qs << u"1.2"_qs << u"1.10"_qs
        << AppInstallState::updateAvailable(u"1.2"_qs, u"1.10"_qs) << false;
    QTest::newRow("newer than the catalog") << u"matching"_qs << u"1.3"_qs << u"1.2"_qs
                                            << AppInstallState::installed(u"1.3"_qs) << false;
    QTest::newRow("bundle gone") << u"gone"_qs << u"1.0.0"_qs << u"1.0.0"_qs << gone << false;
    QTest::newRow("no recorded path")
        << u"no path"_qs << u"1.0.0"_qs << u"1.0.0"_qs << gone << false;
    QTest::newRow("version changed outside")
        << u"other version"_qs << u"1.0.0"_qs << u"1.0.0"_qs << gone << true;
    QTest::newRow("identifier changed")
        << u"other identifier"_qs << u"1.0.0"_qs << u"1.0.0"_qs << gone << true;
    QTest::newRow("unreadable Info.plist")
        << u"no Info.plist"_qs << u"1.0.0"_qs << u"1.0.0"_qs << gone << true;
    QTest::newRow("signature rejected")
        << u"rejected"_qs << u"1.0.0"_qs << u"1.0.0"_qs << gone << true;
}

void TestStore::revalidatesPersistedInstalls() {
    QFETCH(QString, bundle);
    QFETCH(QString, installedVersion);
    QFETCH(QString, catalogVersion);
    QFETCH(AppInstallState, expected);
    QFETCH(bool, reinstallMessage);

    StoreHarness h;
    AppManifestItem alpha = kAlpha;
    alpha.version = catalogVersion;
    h.persistInstalledApp(kBravo, u"1.0.0"_qs); // a neighbour whose entries must stay
    const QString path = h.fakes.bundlePath(alpha.name);
    const bool identityMatches = bundle == u"matching"_qs || bundle == u"rejected"_qs;
    if (identityMatches || bundle == u"other version"_qs) {
        writeBundle(path, alpha.bundleId, identityMatches ? installedVersion : u"9.9"_qs);
    } else if (bundle == u"other identifier"_qs) {
        writeBundle(path, u"com.example.impostor"_qs, installedVersion);
    } else if (bundle == u"no Info.plist"_qs) {
        QVERIFY(QDir().mkpath(path + u"/Contents"_qs));
    }
    h.fakes.persistInstall(alpha.id, installedVersion, bundle == u"no path"_qs ? QString() : path);
    const InstalledCodeValidationError rejection(
        InstalledCodeValidationError::Case::invalidSignature);
    if (bundle == u"rejected"_qs) {
        h.fakes.codeValidator->reject(path, std::make_exception_ptr(rejection));
    }

    LauncherStore& store = h.start(catalogWith({alpha, kBravo}));
    QCoro::waitFor(store.loadStoredStateIfNeeded());

    QCOMPARE(store.state(alpha), expected);
    const bool kept = expected.kind() != AppInstallState::Case::notInstalled;
    QCOMPARE(store.installedAppURLs().value(alpha.id), kept ? QUrl::fromLocalFile(path) : QUrl());
    QCOMPARE(h.fakes.persistedVersions().contains(alpha.id), kept);
    QCOMPARE(h.fakes.persistedPaths().contains(alpha.id), kept);
    QCOMPARE(store.errorMessage(),
             reinstallMessage ? std::optional(textFor(CopyKey::errorReinstallRequired, u"Alpha"_qs))
                              : std::nullopt);
    QCOMPARE(store.state(kBravo), kInstalled);
    QCOMPARE(h.fakes.persistedVersions().value(kBravo.id), u"1.0.0"_qs);
    QCOMPARE(h.fakes.persistedPaths().value(kBravo.id), h.fakes.bundlePath(kBravo.name));

    // Only a bundle that carries the right identity is handed to the signature check (alpha's
    // comes first, in catalog order), and only that check's failure is worth a report.
    const QList<FakeCodeValidator::Call> checks = h.fakes.codeValidator->calls();
    QCOMPARE(checks.size(), identityMatches ? 2 : 1);
    if (identityMatches) {
        QCOMPARE(checks.first().appAt, QUrl::fromLocalFile(path));
        QCOMPARE(checks.first().expectedBundleID, alpha.bundleId);
        QCOMPARE(checks.first().expectedVersion, installedVersion);
    }
    const Reports rejected{
        {rejection.description(),
         {{u"flow"_qs, u"persisted_install_revalidation"_qs}, {u"app"_qs, u"alpha"_qs}}}};
    QCOMPARE(h.fakes.errorReporter->reports, bundle == u"rejected"_qs ? rejected : Reports());
}

void TestStore::storedStateLoadsOnce_data() {
    QTest::addColumn<bool>("loadAtConstruction");
    QTest::addColumn<bool>("alreadyReconciled");

    QTest::newRow("restored on first call") << false << false;
    QTest::newRow("login item already reconciled") << false << true;
    QTest::newRow("restored at construction") << true << false;
}

void TestStore::storedStateLoadsOnce() {
    QFETCH(bool, loadAtConstruction);
    QFETCH(bool, alreadyReconciled);

    StoreHarness h;
    h.persistInstalledApp(kAlpha, u"1.0.0"_qs);
    h.fakes.loginItemManager->reconciledAfterLaunch = alreadyReconciled;

    LauncherStore& store = h.start(catalogWith({kAlpha}), loadAtConstruction);
    QCOMPARE(h.fakes.codeValidator->calls().size(), loadAtConstruction ? 1 : 0);
    QCOMPARE(store.state(kAlpha),
             loadAtConstruction ? kInstalled : AppInstallState::notInstalled());

    // Two overlapping calls restore once, and the login item is reconciled once per launch.
    h.fakes.loginItemManager->currentState = LoginItemState::enabled();
    QCoro::Task<> first = store.loadStoredStateIfNeeded();
    QCoro::Task<> second = store.loadStoredStateIfNeeded();
    QCoro::waitFor(first);
    QCoro::waitFor(second);

    QCOMPARE(h.fakes.codeValidator->calls().size(), 1);
    QCOMPARE(store.state(kAlpha), kInstalled);
    const bool restoredNow = !loadAtConstruction;
    QCOMPARE(h.fakes.loginItemManager->reconcileCalls, restoredNow && !alreadyReconciled ? 1 : 0);
    QCOMPARE(h.fakes.loginItemManager->reconciledAfterLaunch, alreadyReconciled || restoredNow);
    QCOMPARE(store.launchAtLoginState(),
             restoredNow ? LoginItemState::enabled() : LoginItemState::disabled());
}

// Without a login-item manager in the wiring the store uses its own, over the autostart entry:
// the wish is stored at once (on by default) and the launcher is registered when the stored
// state is restored.
void TestStore::buildsItsOwnLoginItemManager() {
    QFile::remove(XdgAutostartLoginItemAdapter::entryPath());
    StoreHarness h;
    h.fakes.loginItemManager = nullptr;
    LauncherStore& store = h.start(catalogWith({kAlpha}));
    QVERIFY(storedFlag(h, "nimbara.launchAtLoginDesired"));
    QVERIFY(store.launchAtLoginDesired());
    QCOMPARE(store.launchAtLoginState(), LoginItemState::disabled());
    QVERIFY(!QFile::exists(XdgAutostartLoginItemAdapter::entryPath()));

    QCoro::waitFor(store.loadStoredStateIfNeeded());
    QCOMPARE(store.launchAtLoginState(), LoginItemState::enabled());
    QVERIFY(QFile::exists(XdgAutostartLoginItemAdapter::entryPath()));
}

void TestStore::refreshKeepsLastCatalogOnFailure() {
    StoreHarness h;
    h.persistInstalledApp(kAlpha, u"1.0.0"_qs);
    const LauncherManifest catalog = catalogWith({kAlpha, kBravo});
    h.fakes.manifestLoader->catalog = catalog;
    LauncherStore& store = h.start();
    h.startUp();
    QCOMPARE(store.state(kAlpha), kInstalled);
    const LauncherStore::InstallStates states = store.installStates();
    const LauncherStore::InstalledAppURLs urls = store.installedAppURLs();
    QVERIFY(!store.errorMessage());

    h.fakes.manifestLoader->error = offline();
    h.loadManifest(); // completes normally
    const QString fallback = NimbaraCopy::text(CopyKey::errorManifestFallback, NimbaraLocale::en);
    QCOMPARE(store.errorMessage(), fallback);
    QCOMPARE(store.manifest(), catalog);
    QCOMPARE(store.installStates(), states);
    QCOMPARE(store.installedAppURLs(), urls);
    QCOMPARE(store.selectedAppID(), u"alpha"_qs);
    QVERIFY(h.fakes.errorReporter->reports.isEmpty());

    // A later success does not take the message away.
    h.fakes.manifestLoader->error = nullptr;
    h.fakes.manifestLoader->catalog = catalogWith({kBravo});
    h.loadManifest();
    QCOMPARE(store.manifest(), catalogWith({kBravo}));
    QCOMPARE(store.errorMessage(), fallback);
}

void TestStore::loadCompletesOnboardingOnlyWithoutPublishedApps_data() {
    QTest::addColumn<LauncherManifest>("inMemory");
    QTest::addColumn<bool>("loadFails");
    QTest::addColumn<LauncherManifest>("loaded");
    QTest::addColumn<bool>("expected");

    const LauncherManifest seed = SeedManifest::manifest();
    const LauncherManifest published = catalogWith({kAlpha});
    QTest::newRow("published apps loaded") << seed << false << published << false;
    QTest::newRow("only previews loaded")
        << seed << false << catalogWith({comingSoonApp(u"soon"_qs)}) << true;
    QTest::newRow("first load fails on the empty catalog") << seed << true << seed << true;
    QTest::newRow("load fails, published apps kept") << published << true << seed << false;
}

void TestStore::loadCompletesOnboardingOnlyWithoutPublishedApps() {
    QFETCH(LauncherManifest, inMemory);
    QFETCH(bool, loadFails);
    QFETCH(LauncherManifest, loaded);
    QFETCH(bool, expected);

    StoreHarness h;
    LauncherStore& store = h.start(inMemory);
    QVERIFY(!store.onboardingComplete());
    h.fakes.manifestLoader->catalog = loaded;
    h.fakes.manifestLoader->error = loadFails ? offline() : nullptr;
    h.loadManifest();

    QCOMPARE(store.onboardingComplete(), expected);
    QCOMPARE(storedFlag(h, StoreKeys::onboardingComplete), expected);
}

void TestStore::selectionAfterLoad_data() {
    QTest::addColumn<QString>("initial"); // null: no selection
    QTest::addColumn<QList<AppManifestItem>>("apps");
    QTest::addColumn<QString>("expectedID");
    QTest::addColumn<QString>("expectedApp"); // null: selectedApp is none

    const AppManifestItem soon = comingSoonApp(u"soon"_qs);
    const AppManifestItem old = publishedApp(u"old"_qs, AppReleaseStatus::retired);

    QTest::newRow("first published app")
        << QString() << QList{soon, old, kAlpha, kBravo} << u"alpha"_qs << u"alpha"_qs;
    QTest::newRow("first visible app without published ones")
        << QString() << QList{old, soon, comingSoonApp(u"later"_qs)} << u"soon"_qs << u"soon"_qs;
    QTest::newRow("nothing visible") << QString() << QList{old} << QString() << QString();
    QTest::newRow("unlisted selection replaced")
        << u"gone"_qs << QList{soon, kBravo} << u"bravo"_qs << u"bravo"_qs;
    QTest::newRow("hidden selection kept")
        << u"old"_qs << QList{kAlpha, old} << u"old"_qs << QString();
}

void TestStore::selectionAfterLoad() {
    QFETCH(QString, initial);
    QFETCH(QList<AppManifestItem>, apps);
    QFETCH(QString, expectedID);
    QFETCH(QString, expectedApp);

    StoreHarness h;
    LauncherStore& store = h.start();
    store.setSelectedAppID(initial.isNull() ? std::nullopt : std::optional(initial));
    h.fakes.manifestLoader->catalog = catalogWith(apps);
    h.loadManifest();

    QCOMPARE(store.selectedAppID(), expectedID.isNull() ? std::nullopt : std::optional(expectedID));
    const std::optional<AppManifestItem> selected = store.selectedApp();
    QCOMPARE(selected ? selected->id : QString(), expectedApp);
}

void TestStore::duplicateAppIDKeepsFirst() {
    StoreHarness h;
    AppManifestItem second = kAlpha;
    second.name = u"Alpha Again"_qs;
    second.version = u"2.0.0"_qs;
    h.persistInstalledApp(kAlpha, u"1.0.0"_qs);
    const LauncherManifest catalog = catalogWith({kAlpha, kBravo, second});

    LauncherStore& store = h.start(catalog);
    QCOMPARE(store.manifest().apps, (QList{kAlpha, kBravo}));
    h.fakes.manifestLoader->catalog = catalog;
    h.startUp();

    // The first listing decides: version 1.0.0 is current, not behind the second's 2.0.0.
    QCOMPARE(store.manifest().apps, (QList{kAlpha, kBravo}));
    QCOMPARE(store.state(kAlpha), kInstalled);
}

void TestStore::persistedStateSurvivesRestart() {
    StoreHarness h;
    h.persistInstalledApp(publishedApp(u"ghost"_qs), u"1.0.0"_qs); // in no catalog of this test
    h.persistInstalledApp(kAlpha, u"1.0.0"_qs);
    h.fakes.manifestLoader->catalog = catalogWith({kAlpha, kBravo});
    h.start().setOnboardingComplete(true);
    const QUrl location = h.bundleURL(kAlpha);
    const auto versions = h.fakes.persistedVersions();
    const auto paths = h.fakes.persistedPaths();

    // Recorded locations are taken as they are at construction; restoring against the empty
    // built-in catalog validates nothing and keeps every persisted entry.
    LauncherStore& store = h.restart();
    QVERIFY(store.onboardingComplete());
    QCOMPARE(store.installedAppURLs().value(kAlpha.id), location);
    QCOMPARE(store.installedAppURLs().size(), 2);
    QCoro::waitFor(store.loadStoredStateIfNeeded());
    QVERIFY(store.installedAppURLs().isEmpty());
    QCOMPARE(store.state(kAlpha), AppInstallState::notInstalled());

    // The catalog brings back the apps it lists; the unlisted one keeps its entries.
    h.loadManifest();
    QCOMPARE(store.state(kAlpha), kInstalled);
    QCOMPARE(store.installedAppURLs().keys(), QStringList{kAlpha.id});
    QCOMPARE(h.fakes.codeValidator->calls().size(), 1);
    QCOMPARE(h.fakes.persistedVersions(), versions);
    QCOMPARE(h.fakes.persistedPaths(), paths);
    QVERIFY(!store.requiresOnboarding());
    QVERIFY(!store.errorMessage());
}

void TestStore::overlappingLoadsFetchOnce() {
    StoreHarness h;
    const LauncherManifest first = catalogWith({kAlpha});
    const LauncherManifest second = catalogWith({kAlpha, kBravo});
    LauncherStore& store = h.start();
    h.fakes.manifestLoader->catalog = first;
    const std::shared_ptr<Gate> gate = h.fakes.manifestLoader->holdNextLoad();

    QCoro::Task<> running = store.loadManifest();
    h.fakes.manifestLoader->catalog = second; // what a second fetch would bring
    QCoro::Task<> joined = store.loadManifest();
    settle();
    QCOMPARE(h.fakes.manifestLoader->calls.size(), 1);
    QVERIFY(!running.isReady() && !joined.isReady());

    gate->open();
    QCoro::waitFor(joined);
    QVERIFY(running.isReady());
    QCOMPARE(h.fakes.manifestLoader->calls.size(), 1);
    QCOMPARE(store.manifest(), first);

    h.loadManifest(); // after the first has ended, a load fetches again
    QCOMPARE(store.manifest(), second);
}

void TestStore::installRecordedWhileRevalidating() {
    StoreHarness h;
    h.persistInstalledApp(kAlpha, u"0.9.0"_qs);
    // The old copy fails its check, which would clear its record if that record still stood.
    h.fakes.codeValidator->reject(h.fakes.bundlePath(kAlpha.name),
                                  std::make_exception_ptr(FakeError(u"bad"_qs, u"bad"_qs)));
    h.fakes.codeValidator->latch.close();
    const auto reopen = qScopeGuard([&] { h.fakes.codeValidator->latch.open(); });
    LauncherStore& store = h.start(catalogWith({kAlpha}));

    QCoro::Task<> restoring = store.loadStoredStateIfNeeded();
    QTRY_COMPARE(h.fakes.codeValidator->calls().size(), 1); // the check waits at the latch
    store.install(kAlpha);
    QTRY_COMPARE(store.state(kAlpha), kInstalled);
    h.fakes.codeValidator->latch.open();
    QCoro::waitFor(restoring);

    QCOMPARE(store.state(kAlpha), kInstalled);
    QCOMPARE(store.installedAppURLs().value(kAlpha.id), h.bundleURL(kAlpha));
    QCOMPARE(h.fakes.persistedVersions().value(kAlpha.id), u"1.0.0"_qs);
    QCOMPARE(h.fakes.persistedPaths().value(kAlpha.id), h.fakes.bundlePath(kAlpha.name));
    QVERIFY(!store.errorMessage());
}
