#include "install/installed_code_validation_error.h"
#include "tst_store.h"

#include <QCoro/QCoroTask>
#include <QDir>

using namespace nimbara;
using namespace nimbara::test;

namespace {

const QString kOnboardingKey = QString::fromLatin1(StoreKeys::onboardingComplete);

QStringList sortedKeys(const LauncherStore::InstalledAppURLs& urls) {
    QStringList keys = urls.keys();
    keys.sort();
    return keys;
}

} // namespace

void TestStore::revalidatesPersistedInstalls_data() {
    QTest::addColumn<QString>("bundle"); // what lies at the recorded path
    QTest::addColumn<QString>("installedVersion");
    QTest::addColumn<QString>("catalogVersion");
    QTest::addColumn<bool>("validatorRejects");
    QTest::addColumn<AppInstallState>("expected");
    QTest::addColumn<bool>("reinstallMessage");

    const auto installed = [](const char* version) {
        return AppInstallState::installed(QString::fromLatin1(version));
    };
    const AppInstallState gone = AppInstallState::notInstalled();
    QTest::newRow("same version") << u"matching"_qs << u"1.0.0"_qs << u"1.0.0"_qs << false
                                  << installed("1.0.0") << false;
    QTest::newRow("1.2.0 against catalog 1.2")
        << u"matching"_qs << u"1.2.0"_qs << u"1.2"_qs << false << installed("1.2.0") << false;
    QTest::newRow("1.3 against catalog 1.2")
        << u"matching"_qs << u"1.3"_qs << u"1.2"_qs << false << installed("1.3") << false;
    QTest::newRow("1.2 against catalog 1.10")
        << u"matching"_qs << u"1.2"_qs << u"1.10"_qs << false
        << AppInstallState::updateAvailable(u"1.2"_qs, u"1.10"_qs) << false;
    QTest::newRow("bundle gone") << u"gone"_qs << u"1.0.0"_qs << u"1.0.0"_qs << false << gone
                                 << false;
    QTest::newRow("no recorded path")
        << u"no path"_qs << u"1.0.0"_qs << u"1.0.0"_qs << false << gone << false;
    QTest::newRow("version changed outside")
        << u"other version"_qs << u"1.0.0"_qs << u"1.0.0"_qs << false << gone << true;
    QTest::newRow("identifier changed")
        << u"other identifier"_qs << u"1.0.0"_qs << u"1.0.0"_qs << false << gone << true;
    QTest::newRow("unreadable Info.plist")
        << u"no Info.plist"_qs << u"1.0.0"_qs << u"1.0.0"_qs << false << gone << true;
    QTest::newRow("signature rejected")
        << u"matching"_qs << u"1.0.0"_qs << u"1.0.0"_qs << true << gone << true;
}

void TestStore::revalidatesPersistedInstalls() {
    QFETCH(QString, bundle);
    QFETCH(QString, installedVersion);
    QFETCH(QString, catalogVersion);
    QFETCH(bool, validatorRejects);
    QFETCH(AppInstallState, expected);
    QFETCH(bool, reinstallMessage);

    StoreHarness h;
    AppManifestItem alpha = publishedApp(u"alpha"_qs);
    alpha.version = catalogVersion;
    const AppManifestItem bravo = publishedApp(u"bravo"_qs);
    h.persistInstalledApp(bravo, bravo.version); // a neighbour whose entries must stay

    const QString path = h.fakes.bundlePath(alpha.name);
    if (bundle == u"matching"_qs) {
        writeBundle(path, alpha.bundleId, installedVersion);
    } else if (bundle == u"other version"_qs) {
        writeBundle(path, alpha.bundleId, u"9.9"_qs);
    } else if (bundle == u"other identifier"_qs) {
        writeBundle(path, u"com.example.impostor"_qs, installedVersion);
    } else if (bundle == u"no Info.plist"_qs) {
        QVERIFY(QDir().mkpath(path + u"/Contents"_qs));
    }
    h.fakes.persistInstall(alpha.id, installedVersion, bundle == u"no path"_qs ? QString() : path);
    const InstalledCodeValidationError rejection(
        InstalledCodeValidationError::Case::invalidSignature);
    if (validatorRejects) {
        h.fakes.codeValidator->reject(path, std::make_exception_ptr(rejection));
    }

    LauncherStore& store = h.start(catalogWith({alpha, bravo}));
    QCoro::waitFor(store.loadStoredStateIfNeeded());

    QCOMPARE(store.state(alpha), expected);
    const bool kept = expected.kind() != AppInstallState::Case::notInstalled;
    QCOMPARE(store.installedAppURLs().value(alpha.id), kept ? QUrl::fromLocalFile(path) : QUrl());
    QCOMPARE(h.fakes.persistedVersions().contains(alpha.id), kept);
    QCOMPARE(h.fakes.persistedPaths().contains(alpha.id), kept);
    QCOMPARE(store.errorMessage(),
             reinstallMessage ? std::optional(textFor(CopyKey::errorReinstallRequired, u"Alpha"_qs))
                              : std::nullopt);

    QCOMPARE(store.state(bravo), AppInstallState::installed(bravo.version));
    QCOMPARE(h.fakes.persistedVersions().value(bravo.id), bravo.version);
    QCOMPARE(h.fakes.persistedPaths().value(bravo.id), h.fakes.bundlePath(bravo.name));

    // Only a bundle that carries the right identity is handed to the signature check.
    QList<FakeCodeValidator::Call> alphaChecks;
    for (const FakeCodeValidator::Call& call : h.fakes.codeValidator->calls()) {
        if (call.expectedBundleID == alpha.bundleId) {
            alphaChecks.append(call);
        }
    }
    QCOMPARE(alphaChecks.size(), bundle == u"matching"_qs ? 1 : 0);
    if (!alphaChecks.isEmpty()) {
        QCOMPARE(alphaChecks.first().appAt, QUrl::fromLocalFile(path));
        QCOMPARE(alphaChecks.first().expectedVersion, installedVersion);
    }

    // Only the signature check's failure is worth a report.
    const QList<FakeErrorReporter::Report>& reports = h.fakes.errorReporter->reports;
    QCOMPARE(reports.size(), validatorRejects ? 1 : 0);
    if (validatorRejects) {
        QCOMPARE(reports.first().description, rejection.description());
        QCOMPARE(reports.first().context,
                 (ErrorReportContext{{u"flow"_qs, u"persisted_install_revalidation"_qs},
                                     {u"app"_qs, u"alpha"_qs}}));
    }
}

void TestStore::revalidationCoversOnlyCatalogApps() {
    StoreHarness h;
    const AppManifestItem alpha = publishedApp(u"alpha"_qs);
    const AppManifestItem ghost = publishedApp(u"ghost"_qs);
    h.persistInstalledApp(alpha, u"1.0.0"_qs);
    h.persistInstalledApp(ghost, u"1.0.0"_qs);
    const auto versions = h.fakes.persistedVersions();
    const auto paths = h.fakes.persistedPaths();

    // The recorded locations are taken as they are at construction...
    LauncherStore& store = h.start();
    QCOMPARE(sortedKeys(store.installedAppURLs()), (QStringList{u"alpha"_qs, u"ghost"_qs}));
    QCOMPARE(store.installedAppURLs().value(alpha.id), h.bundleURL(alpha));

    // ...and a restore against the empty built-in catalog validates nothing, leaves no location
    // and keeps every persisted entry.
    QCoro::waitFor(store.loadStoredStateIfNeeded());
    QVERIFY(store.installedAppURLs().isEmpty());
    QVERIFY(h.fakes.codeValidator->calls().isEmpty());
    QCOMPARE(h.fakes.persistedVersions(), versions);
    QCOMPARE(h.fakes.persistedPaths(), paths);

    // The first catalog brings back the apps it lists; the unlisted one keeps its entries.
    h.fakes.manifestLoader->setCatalog(catalogWith({alpha}));
    h.loadManifest();
    QCOMPARE(sortedKeys(store.installedAppURLs()), QStringList{u"alpha"_qs});
    QCOMPARE(store.state(alpha), AppInstallState::installed(u"1.0.0"_qs));
    QCOMPARE(store.state(u"ghost"_qs), AppInstallState::notInstalled());
    QCOMPARE(h.fakes.persistedVersions(), versions);
    QCOMPARE(h.fakes.persistedPaths(), paths);
    for (const FakeCodeValidator::Call& call : h.fakes.codeValidator->calls()) {
        QCOMPARE(call.expectedBundleID, alpha.bundleId);
    }
}

void TestStore::storedStateLoadsOnce_data() {
    QTest::addColumn<bool>("loadAtConstruction");
    QTest::addColumn<bool>("alreadyReconciled");
    QTest::addColumn<int>("expectedReconciles");

    QTest::newRow("restored on first call") << false << false << 1;
    QTest::newRow("login item already reconciled") << false << true << 0;
    QTest::newRow("restored at construction") << true << false << 0;
}

void TestStore::storedStateLoadsOnce() {
    QFETCH(bool, loadAtConstruction);
    QFETCH(bool, alreadyReconciled);
    QFETCH(int, expectedReconciles);

    StoreHarness h;
    const AppManifestItem alpha = publishedApp(u"alpha"_qs);
    h.persistInstalledApp(alpha, u"1.0.0"_qs);
    h.fakes.loginItemManager->reconciledAfterLaunch = alreadyReconciled;

    LauncherStore& store = h.start(catalogWith({alpha}), loadAtConstruction);
    QCOMPARE(h.fakes.codeValidator->calls().size(), loadAtConstruction ? 1 : 0);
    QCOMPARE(store.state(alpha), loadAtConstruction ? AppInstallState::installed(u"1.0.0"_qs)
                                                    : AppInstallState::notInstalled());
    QCOMPARE(store.launchAtLoginState(), LoginItemState::disabled());

    // Two overlapping calls restore once.
    h.fakes.loginItemManager->currentState = LoginItemState::enabled();
    QCoro::Task<> first = store.loadStoredStateIfNeeded();
    QCoro::Task<> second = store.loadStoredStateIfNeeded();
    QCoro::waitFor(first);
    QCoro::waitFor(second);

    QCOMPARE(h.fakes.codeValidator->calls().size(), 1);
    QCOMPARE(store.state(alpha), AppInstallState::installed(u"1.0.0"_qs));
    QCOMPARE(h.fakes.loginItemManager->reconcileCalls, expectedReconciles);
    QCOMPARE(h.fakes.loginItemManager->reconciledAfterLaunch,
             alreadyReconciled || !loadAtConstruction);
    QCOMPARE(store.launchAtLoginState(),
             loadAtConstruction ? LoginItemState::disabled() : LoginItemState::enabled());
}

void TestStore::refreshKeepsLastCatalogOnFailure() {
    StoreHarness h;
    const AppManifestItem alpha = publishedApp(u"alpha"_qs);
    const AppManifestItem bravo = publishedApp(u"bravo"_qs);
    h.persistInstalledApp(alpha, u"1.0.0"_qs);
    const LauncherManifest catalog = catalogWith({alpha, bravo});
    h.fakes.manifestLoader->setCatalog(catalog);
    LauncherStore& store = h.start();
    h.startUp();
    QCOMPARE(store.state(alpha), AppInstallState::installed(u"1.0.0"_qs));
    const LauncherStore::InstallStates states = store.installStates();
    const LauncherStore::InstalledAppURLs urls = store.installedAppURLs();
    QVERIFY(!store.errorMessage());

    h.fakes.manifestLoader->fail(std::make_exception_ptr(NetworkError(u"offline"_qs)));
    h.loadManifest(); // completes normally
    const QString fallback = NimbaraCopy::text(CopyKey::errorManifestFallback, NimbaraLocale::en);
    QCOMPARE(store.errorMessage(), fallback);
    QCOMPARE(store.manifest(), catalog);
    QCOMPARE(store.installStates(), states);
    QCOMPARE(store.installedAppURLs(), urls);
    QCOMPARE(store.selectedAppID(), u"alpha"_qs);
    QVERIFY(h.fakes.errorReporter->reports.isEmpty());

    // A later success does not take the message away; apps the new catalog drops keep their
    // entries.
    const LauncherManifest smaller = catalogWith({bravo});
    h.fakes.manifestLoader->setCatalog(smaller);
    h.loadManifest();
    QCOMPARE(store.manifest(), smaller);
    QCOMPARE(store.errorMessage(), fallback);
    QVERIFY(store.installStates().contains(alpha.id));
    QVERIFY(!store.installedAppURLs().contains(alpha.id));
    QCOMPARE(h.fakes.persistedVersions().value(alpha.id), u"1.0.0"_qs);
}

void TestStore::loadCompletesOnboardingOnlyWithoutPublishedApps_data() {
    QTest::addColumn<LauncherManifest>("inMemory");
    QTest::addColumn<bool>("loadFails");
    QTest::addColumn<LauncherManifest>("loaded");
    QTest::addColumn<bool>("expected");

    const LauncherManifest seed = SeedManifest::manifest();
    const LauncherManifest published = catalogWith({publishedApp(u"alpha"_qs)});
    const LauncherManifest previews = catalogWith({comingSoonApp(u"soon"_qs)});
    QTest::newRow("published apps loaded") << seed << false << published << false;
    QTest::newRow("only previews loaded") << seed << false << previews << true;
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
    if (loadFails) {
        h.fakes.manifestLoader->fail(std::make_exception_ptr(NetworkError(u"offline"_qs)));
    } else {
        h.fakes.manifestLoader->setCatalog(loaded);
    }
    h.loadManifest();

    QCOMPARE(store.onboardingComplete(), expected);
    QCOMPARE(PreferencesStore(h.fakes.preferencesPath).boolForKey(kOnboardingKey), expected);
    QCOMPARE(store.requiresOnboarding(), !expected);
}

void TestStore::selectionAfterLoad_data() {
    QTest::addColumn<QString>("initial"); // null: no selection
    QTest::addColumn<QList<AppManifestItem>>("apps");
    QTest::addColumn<QString>("expectedID");
    QTest::addColumn<QString>("expectedApp"); // null: selectedApp is none

    const AppManifestItem alpha = publishedApp(u"alpha"_qs);
    const AppManifestItem bravo = publishedApp(u"bravo"_qs);
    const AppManifestItem soon = comingSoonApp(u"soon"_qs);
    const AppManifestItem later = comingSoonApp(u"later"_qs);
    const AppManifestItem old = publishedApp(u"old"_qs, AppReleaseStatus::retired);

    QTest::newRow("first published app")
        << QString() << QList{soon, old, alpha, bravo} << u"alpha"_qs << u"alpha"_qs;
    QTest::newRow("first visible app without published ones")
        << QString() << QList{old, soon, later} << u"soon"_qs << u"soon"_qs;
    QTest::newRow("nothing visible") << QString() << QList{old} << QString() << QString();
    QTest::newRow("unlisted selection replaced")
        << u"gone"_qs << QList{soon, bravo} << u"bravo"_qs << u"bravo"_qs;
    QTest::newRow("hidden selection kept")
        << u"old"_qs << QList{alpha, old} << u"old"_qs << QString();
    QTest::newRow("visible selection kept")
        << u"soon"_qs << QList{alpha, soon} << u"soon"_qs << u"soon"_qs;
}

void TestStore::selectionAfterLoad() {
    QFETCH(QString, initial);
    QFETCH(QList<AppManifestItem>, apps);
    QFETCH(QString, expectedID);
    QFETCH(QString, expectedApp);

    StoreHarness h;
    LauncherStore& store = h.start();
    store.setSelectedAppID(initial.isNull() ? std::nullopt : std::optional(initial));
    h.fakes.manifestLoader->setCatalog(catalogWith(apps));
    h.loadManifest();

    QCOMPARE(store.selectedAppID(), expectedID.isNull() ? std::nullopt : std::optional(expectedID));
    const std::optional<AppManifestItem> selected = store.selectedApp();
    QCOMPARE(selected ? selected->id : QString(), expectedApp);
}

void TestStore::duplicateAppIDKeepsFirst() {
    StoreHarness h;
    const AppManifestItem first = publishedApp(u"alpha"_qs);
    AppManifestItem second = publishedApp(u"alpha"_qs);
    second.name = u"Alpha Again"_qs;
    second.version = u"2.0.0"_qs;
    const AppManifestItem bravo = publishedApp(u"bravo"_qs);
    h.persistInstalledApp(first, u"1.0.0"_qs);
    const LauncherManifest catalog = catalogWith({first, bravo, second});

    LauncherStore& store = h.start(catalog);
    QCOMPARE(store.installStates().size(), 2);
    h.fakes.manifestLoader->setCatalog(catalog);
    h.startUp();

    // The first listing decides: version 1.0.0 is current, not behind the second's 2.0.0.
    QCOMPARE(store.state(u"alpha"_qs), AppInstallState::installed(u"1.0.0"_qs));
    QCOMPARE(store.managedAppIDs(), QStringList{u"alpha"_qs});
    QCOMPARE(store.installStates().size(), 2);
}

void TestStore::persistedStateSurvivesRestart() {
    StoreHarness h;
    const AppManifestItem alpha = publishedApp(u"alpha"_qs);
    const LauncherManifest catalog = catalogWith({alpha, publishedApp(u"bravo"_qs)});
    h.fakes.manifestLoader->setCatalog(catalog);
    h.start();
    h.startUp();
    h.store->finishOnboarding(); // nothing ticked: the built-in catalog listed no apps
    h.store->install(alpha);
    QTRY_COMPARE(h.store->state(alpha), AppInstallState::installed(u"1.0.0"_qs));
    const QUrl location = h.store->installedAppURLs().value(alpha.id);
    QVERIFY(location.isLocalFile());

    LauncherStore& store = h.restart();
    QVERIFY(store.onboardingComplete());
    QCOMPARE(store.installedAppURLs().value(alpha.id), location);
    QCOMPARE(store.state(alpha), AppInstallState::notInstalled()); // no catalog yet

    h.startUp();
    QCOMPARE(store.state(alpha), AppInstallState::installed(u"1.0.0"_qs));
    QCOMPARE(store.installedAppURLs().value(alpha.id), location);
    QVERIFY(!store.requiresOnboarding());
    QVERIFY(!store.errorMessage());
}

void TestStore::overlappingLoadsFetchOnce() {
    StoreHarness h;
    const AppManifestItem alpha = publishedApp(u"alpha"_qs);
    const LauncherManifest first = catalogWith({alpha});
    const LauncherManifest second = catalogWith({alpha, publishedApp(u"bravo"_qs)});
    LauncherStore& store = h.start();
    h.fakes.manifestLoader->setCatalog(first);
    const std::shared_ptr<Gate> gate = h.fakes.manifestLoader->holdNextLoad();

    QCoro::Task<> running = store.loadManifest();
    h.fakes.manifestLoader->setCatalog(second); // what a second fetch would bring
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
    QCOMPARE(h.fakes.manifestLoader->calls.size(), 2);
    QCOMPARE(store.manifest(), second);
}
