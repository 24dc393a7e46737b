#include "catalog/manifest_policy.h"
#include "tst_store.h"

#include <QCoro/QCoroTask>
#include <QDir>
#include <QFile>

using namespace nimbara;
using namespace nimbara::test;

namespace {

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

LauncherOperationalEvent alphaEvent(const char* type, const char* status,
                                    std::optional<QString> reason = std::nullopt) {
    return {QString::fromLatin1(type), u"alpha"_qs, u"1.0.0"_qs, QString::fromLatin1(status),
            std::move(reason)};
}

QStringList eventTypes(const QList<LauncherOperationalEvent>& events) {
    QStringList types;
    for (const LauncherOperationalEvent& e : events) {
        types.append(e.eventType);
    }
    return types;
}

const QStringList kStartedThenSucceeded{u"install_started"_qs, u"install_succeeded"_qs};

// Builds a store for `app` in the given install state: "fresh", "installed", "update" (an older
// version recorded) or "failed" (after one failed install).
void prepare(StoreHarness& h, const AppManifestItem& app, const QString& setup) {
    if (setup == u"installed"_qs || setup == u"update"_qs) {
        h.persistInstalledApp(app, setup == u"update"_qs ? u"0.9.0"_qs : app.version);
    }
    LauncherStore& store = h.start(catalogWith({app}), true);
    if (setup == u"failed"_qs) {
        h.fakes.installer->fail(app.id, std::make_exception_ptr(FakeError(u"no"_qs, u"no"_qs)));
        store.install(app);
        QTRY_COMPARE(store.state(app).kind(), AppInstallState::Case::failed);
        h.fakes.installer->fail(app.id, nullptr);
        h.fakes.installer->calls.clear();
        h.fakes.eventSink->events.clear();
    }
    store.setErrorMessage(std::nullopt);
}

} // namespace

void TestStore::installPreconditions_data() {
    QTest::addColumn<AppManifestItem>("app");
    QTest::addColumn<QString>("system");
    QTest::addColumn<QString>("setup");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<bool>("viaOpen"); // open() installs what is not installed

    const AppManifestItem live = publishedApp(u"alpha"_qs);
    AppManifestItem noDownload = live;
    noDownload.downloadUrl.reset();
    AppManifestItem needs142 = live;
    needs142.minMacOS = u"14.2"_qs;

    QTest::newRow("live") << live << u"14.5.0"_qs << u"fresh"_qs << true << false;
    QTest::newRow("coming soon") << comingSoonApp(u"alpha"_qs) << u"14.5.0"_qs << u"fresh"_qs
                                 << false << false;
    QTest::newRow("retired") << publishedApp(u"alpha"_qs, AppReleaseStatus::retired) << u"14.5.0"_qs
                             << u"fresh"_qs << false << false;
    QTest::newRow("no download") << noDownload << u"14.5.0"_qs << u"fresh"_qs << false << false;
    QTest::newRow("14.2 required on 14.1.5")
        << needs142 << u"14.1.5"_qs << u"fresh"_qs << false << false;
    QTest::newRow("14.2 required on 14.2.0")
        << needs142 << u"14.2.0"_qs << u"fresh"_qs << true << false;
    QTest::newRow("installed") << live << u"14.5.0"_qs << u"installed"_qs << false << false;
    QTest::newRow("update available") << live << u"14.5.0"_qs << u"update"_qs << true << false;
    QTest::newRow("failed before") << live << u"14.5.0"_qs << u"failed"_qs << true << false;
    QTest::newRow("open when not installed") << live << u"14.5.0"_qs << u"fresh"_qs << true << true;
    QTest::newRow("open after a failure") << live << u"14.5.0"_qs << u"failed"_qs << true << true;
}

void TestStore::installPreconditions() {
    QFETCH(AppManifestItem, app);
    QFETCH(QString, system);
    QFETCH(QString, setup);
    QFETCH(bool, accepted);
    QFETCH(bool, viaOpen);

    StoreHarness h;
    h.fakes.systemInformation->version = *ManifestPolicy::macOSVersion(system);
    prepare(h, app, setup);
    if (QTest::currentTestFailed()) {
        return;
    }
    LauncherStore& store = *h.store;
    const AppInstallState before = store.state(app);
    const QUrl recorded = store.installedAppURLs().value(app.id);

    QCOMPARE(store.canInstall(app), accepted);
    if (viaOpen) {
        store.open(app);
    } else {
        store.install(app);
    }

    if (!accepted) {
        QCOMPARE(store.errorMessage(), textFor(CopyKey::errorCannotInstall, app.name));
        settle();
        QCOMPARE(store.state(app), before);
        QVERIFY(h.fakes.installer->calls.isEmpty());
        QVERIFY(h.fakes.eventSink->events.isEmpty());
        return;
    }
    QTRY_COMPARE(h.fakes.installer->calls.size(), 1);
    // An update hands over the copy to replace.
    const std::optional<QUrl> existing = h.fakes.installer->calls.first().existingInstallURL;
    QCOMPARE(existing, setup == u"update"_qs ? std::optional(recorded) : std::nullopt);
    QTRY_COMPARE(store.state(app), AppInstallState::installed(app.version));
    QVERIFY(!store.errorMessage());
    QVERIFY(h.fakes.workspace->opened.isEmpty());
}

void TestStore::installSucceeds() {
    StoreHarness h;
    const AppManifestItem alpha = publishedApp(u"alpha"_qs);
    const InstalledApp result{QUrl::fromLocalFile(h.fakes.folder + u"/Elsewhere/Alpha.app"_qs),
                              u"1.0.0+7"_qs};
    h.fakes.installer->succeedWith(alpha.id, result);
    const std::shared_ptr<Gate> gate = h.fakes.installer->hold(alpha.id);
    LauncherStore& store = h.start(catalogWith({alpha}));
    store.setErrorMessage(u"An earlier problem"_qs);

    store.install(alpha);
    QTRY_COMPARE(h.fakes.installer->calls.size(), 1);
    QCOMPARE(store.state(alpha), AppInstallState::installing(0.04));
    QCOMPARE(h.fakes.eventSink->events, QList{alphaEvent("install_started", "started")});
    QVERIFY(h.fakes.journal->indexOf(u"event install_started alpha"_qs) <
            h.fakes.journal->indexOf(u"install alpha"_qs));

    gate->open();
    QTRY_COMPARE(h.fakes.eventSink->events.size(), 2);
    QCOMPARE(h.fakes.eventSink->events.last(), alphaEvent("install_succeeded", "succeeded"));
    QCOMPARE(store.state(alpha), AppInstallState::installed(result.version));
    QCOMPARE(store.installedAppURLs().value(alpha.id), result.url);
    QCOMPARE(h.fakes.persistedVersions(), (QMap<QString, QString>{{alpha.id, result.version}}));
    QCOMPARE(h.fakes.persistedPaths(),
             (QMap<QString, QString>{{alpha.id, result.url.toLocalFile()}}));
    QCOMPARE(store.errorMessage(), u"An earlier problem"_qs);
    QVERIFY(h.fakes.errorReporter->reports.isEmpty());
}

void TestStore::installFails_data() {
    QTest::addColumn<QString>("error");
    QTest::addColumn<bool>("update");

    QTest::newRow("installer error") << u"installer"_qs << false;
    QTest::newRow("network error") << u"network"_qs << false;
    QTest::newRow("failed update keeps the old record") << u"installer"_qs << true;
}

void TestStore::installFails() {
    QFETCH(QString, error);
    QFETCH(bool, update);

    StoreHarness h;
    const AppManifestItem alpha = publishedApp(u"alpha"_qs);
    const FakeError installerError(
        u"The download's checksum did not match."_qs,
        u"AppInstallerError.checksumMismatch(expected: \"ab\", actual: \"cd\")"_qs);
    const NetworkError networkError(u"Connection refused"_qs);
    const Error& thrown =
        error == u"network"_qs ? static_cast<const Error&>(networkError) : installerError;
    h.fakes.installer->fail(alpha.id, error == u"network"_qs
                                          ? std::make_exception_ptr(networkError)
                                          : std::make_exception_ptr(installerError));
    if (update) {
        h.persistInstalledApp(alpha, u"0.9.0"_qs);
    }
    LauncherStore& store = h.start(catalogWith({alpha}), true);
    const auto versions = h.fakes.persistedVersions();
    const auto paths = h.fakes.persistedPaths();
    const LauncherStore::InstalledAppURLs urls = store.installedAppURLs();

    store.install(alpha);
    QTRY_COMPARE(h.fakes.eventSink->events.size(), 2);

    const QString message = textFor(CopyKey::errorInstallFailed, u"Alpha"_qs, thrown.description());
    QCOMPARE(store.state(alpha), AppInstallState::failed(message));
    QCOMPARE(store.errorMessage(), message);
    QCOMPARE(h.fakes.eventSink->events,
             (QList{alphaEvent("install_started", "started"),
                    alphaEvent("install_failed", "failed", thrown.rendering())}));
    QCOMPARE(h.fakes.errorReporter->reports.size(), 1);
    QCOMPARE(h.fakes.errorReporter->reports.first().description, thrown.description());
    QCOMPARE(h.fakes.errorReporter->reports.first().context,
             (ErrorReportContext{{u"flow"_qs, u"install"_qs},
                                 {u"app"_qs, u"alpha"_qs},
                                 {u"version"_qs, u"1.0.0"_qs}}));
    QVERIFY(h.fakes.journal->indexOf(u"report install alpha"_qs) <
            h.fakes.journal->indexOf(u"event install_failed alpha"_qs));
    QCOMPARE(h.fakes.persistedVersions(), versions);
    QCOMPARE(h.fakes.persistedPaths(), paths);
    QCOMPARE(store.installedAppURLs(), urls);
}

void TestStore::installsOfTwoAppsRunTogether() {
    StoreHarness h;
    const AppManifestItem alpha = publishedApp(u"alpha"_qs);
    const AppManifestItem bravo = publishedApp(u"bravo"_qs);
    const std::shared_ptr<Gate> alphaGate = h.fakes.installer->hold(alpha.id);
    const std::shared_ptr<Gate> bravoGate = h.fakes.installer->hold(bravo.id);
    LauncherStore& store = h.start(catalogWith({alpha, bravo}));

    store.install(alpha);
    store.install(bravo);
    QTRY_COMPARE(h.fakes.installer->inFlight, 2);
    QCOMPARE(store.state(alpha), AppInstallState::installing(0.04));
    QCOMPARE(store.state(bravo), AppInstallState::installing(0.04));

    bravoGate->open();
    QTRY_COMPARE(store.state(bravo), AppInstallState::installed(u"1.0.0"_qs));
    QCOMPARE(store.state(alpha), AppInstallState::installing(0.04));
    alphaGate->open();
    QTRY_COMPARE(store.state(alpha), AppInstallState::installed(u"1.0.0"_qs));
    QTRY_COMPARE(h.fakes.eventSink->events.size(), 4);

    // Each install recorded its own entries without losing the other's.
    QCOMPARE(h.fakes.persistedVersions(),
             (QMap<QString, QString>{{alpha.id, u"1.0.0"_qs}, {bravo.id, u"1.0.0"_qs}}));
    QCOMPARE(h.fakes.persistedPaths(),
             (QMap<QString, QString>{{alpha.id, h.fakes.bundlePath(alpha.name)},
                                     {bravo.id, h.fakes.bundlePath(bravo.name)}}));
    QCOMPARE(store.installedAppURLs().size(), 2);
    QCOMPARE(eventTypes(h.fakes.eventSink->eventsFor(alpha.id)), kStartedThenSucceeded);
    QCOMPARE(eventTypes(h.fakes.eventSink->eventsFor(bravo.id)), kStartedThenSucceeded);
}

void TestStore::sameAppNeverInstalledTwice() {
    StoreHarness h;
    const AppManifestItem alpha = publishedApp(u"alpha"_qs);
    const std::shared_ptr<Gate> gate = h.fakes.installer->hold(alpha.id);
    LauncherStore& store = h.start(catalogWith({alpha}));

    store.install(alpha);
    store.install(alpha); // before the first task has run
    QTRY_COMPARE(store.state(alpha), AppInstallState::installing(0.04));
    store.setErrorMessage(std::nullopt);
    store.install(alpha); // while it installs
    QCOMPARE(store.errorMessage(), textFor(CopyKey::errorCannotInstall, u"Alpha"_qs));
    QVERIFY(!store.canInstall(alpha));

    gate->open();
    QTRY_COMPARE(store.state(alpha), AppInstallState::installed(u"1.0.0"_qs));
    settle();
    QCOMPARE(h.fakes.installer->calls.size(), 1);
    QCOMPARE(h.fakes.installer->maxInFlight, 1);
    QCOMPARE(eventTypes(h.fakes.eventSink->events), kStartedThenSucceeded);
}

void TestStore::installOutlivesDestroyedStore_data() {
    QTest::addColumn<bool>("installerFails");
    QTest::newRow("installer succeeds") << false;
    QTest::newRow("installer fails") << true;
}

void TestStore::installOutlivesDestroyedStore() {
    QFETCH(bool, installerFails);

    StoreHarness h;
    const AppManifestItem alpha = publishedApp(u"alpha"_qs);
    const std::shared_ptr<Gate> gate = h.fakes.installer->hold(alpha.id);
    if (installerFails) {
        h.fakes.installer->fail(alpha.id, std::make_exception_ptr(FakeError(u"x"_qs, u"y"_qs)));
    }
    LauncherStore& store = h.start(catalogWith({alpha}));
    store.setOnboardingComplete(true); // so that the preferences file exists
    store.install(alpha);
    QTRY_COMPARE(h.fakes.installer->calls.size(), 1);
    const QByteArray preferences = readFile(h.fakes.preferencesPath);
    const QStringList journal = *h.fakes.journal;

    h.store.reset();
    gate->open();
    QTRY_COMPARE(h.fakes.installer->finished, 1);
    settle();

    QCOMPARE(readFile(h.fakes.preferencesPath), preferences);
    // Nothing but the installer's own return happened after the store had gone.
    QCOMPARE(*h.fakes.journal, journal + QStringList{u"installed alpha"_qs});
    QVERIFY(h.fakes.errorReporter->reports.isEmpty());
}

void TestStore::openInstalledApp_data() {
    QTest::addColumn<QString>("bundle"); // "recorded", "moved" or "nowhere"
    QTest::addColumn<bool>("update");

    QTest::newRow("at the recorded location") << u"recorded"_qs << false;
    QTest::newRow("update available") << u"recorded"_qs << true;
    QTest::newRow("moved, found by identifier") << u"moved"_qs << false;
    QTest::newRow("found nowhere") << u"nowhere"_qs << false;
    QTest::newRow("update available, found nowhere") << u"nowhere"_qs << true;
}

void TestStore::openInstalledApp() {
    QFETCH(QString, bundle);
    QFETCH(bool, update);

    StoreHarness h;
    const AppManifestItem alpha = publishedApp(u"alpha"_qs);
    h.persistInstalledApp(alpha, update ? u"0.9.0"_qs : u"1.0.0"_qs);
    LauncherStore& store = h.start(catalogWith({alpha}), true);
    const AppInstallState before = store.state(alpha);
    QCOMPARE(before.kind(),
             update ? AppInstallState::Case::updateAvailable : AppInstallState::Case::installed);
    const QUrl recorded = h.bundleURL(alpha);
    const QUrl moved = QUrl::fromLocalFile(h.fakes.folder + u"/Moved/Alpha.app"_qs);
    if (bundle != u"recorded"_qs) {
        QVERIFY(QDir(recorded.toLocalFile()).removeRecursively());
    }
    if (bundle == u"moved"_qs) {
        writeBundle(moved.toLocalFile(), alpha.bundleId, u"1.0.0"_qs);
        h.fakes.workspace->applications.insert(alpha.bundleId, moved);
    }

    store.open(alpha);
    finishWorkers();

    if (bundle == u"nowhere"_qs) {
        QVERIFY(h.fakes.workspace->opened.isEmpty());
        QCOMPARE(store.state(alpha), AppInstallState::notInstalled());
        QVERIFY(!store.installedAppURLs().contains(alpha.id));
        QVERIFY(h.fakes.persistedVersions().isEmpty());
        QVERIFY(h.fakes.persistedPaths().isEmpty());
        QCOMPARE(store.errorMessage(), textFor(CopyKey::errorNoBundle, u"Alpha"_qs));
    } else {
        QCOMPARE(h.fakes.workspace->opened, QList{bundle == u"moved"_qs ? moved : recorded});
        QCOMPARE(store.state(alpha), before);
        QCOMPARE(store.installedAppURLs().value(alpha.id), recorded);
        QVERIFY(!store.errorMessage());
    }
    settle();
    QVERIFY(h.fakes.installer->calls.isEmpty());
}

void TestStore::otherOperationsRunWhileInstalling() {
    StoreHarness h;
    const AppManifestItem alpha = publishedApp(u"alpha"_qs);
    const AppManifestItem bravo = publishedApp(u"bravo"_qs);
    h.persistInstalledApp(alpha, u"0.9.0"_qs); // the install is an update
    const std::shared_ptr<Gate> gate = h.fakes.installer->hold(alpha.id);
    h.fakes.manifestLoader->setCatalog(catalogWith({alpha, bravo}));
    h.fakes.feedbackClient->respond({true, {u"issue-1"_qs, {}, {}}, {}});
    LauncherStore& store = h.start(catalogWith({alpha, bravo}), true);
    QCOMPARE(store.state(alpha).kind(), AppInstallState::Case::updateAvailable);

    store.install(alpha);
    QTRY_COMPARE(h.fakes.installer->inFlight, 1);

    // A catalog load re-validates the old copy meanwhile, but leaves the running update alone.
    h.loadManifest();
    QCOMPARE(h.fakes.manifestLoader->finished, 1);
    QCOMPARE(store.state(alpha), AppInstallState::installing(0.04));
    store.toggleStarterSelection(bravo);
    QCOMPARE(store.selectedStarterAppIDs(), QSet<QString>{alpha.id});
    QCoro::waitFor(
        store.submitFeedback(FeedbackType::bug, u"Slow"_qs, u"It is slow."_qs, std::nullopt));
    QCOMPARE(store.feedbackState().kind, FeedbackSubmissionState::Case::submitted);

    QCOMPARE(h.fakes.installer->inFlight, 1);
    QCOMPARE(store.state(alpha), AppInstallState::installing(0.04));
    gate->open();
    QTRY_COMPARE(store.state(alpha), AppInstallState::installed(u"1.0.0"_qs));
    QCOMPARE(h.fakes.persistedVersions().value(alpha.id), u"1.0.0"_qs);
}

void TestStore::openWhileLookupRuns_data() {
    QTest::addColumn<bool>("destroyStore"); // else: the app is removed while the worker looks
    QTest::newRow("store destroyed") << true;
    QTest::newRow("app removed meanwhile") << false;
}

void TestStore::openWhileLookupRuns() {
    QFETCH(bool, destroyStore);

    StoreHarness h;
    const AppManifestItem alpha = publishedApp(u"alpha"_qs);
    h.persistInstalledApp(alpha, u"1.0.0"_qs);
    LauncherStore& store = h.start(catalogWith({alpha}), true);
    QVERIFY(QDir(h.bundleURL(alpha).toLocalFile()).removeRecursively());
    h.fakes.workspace->blockLookups();

    store.open(alpha); // returns while the worker waits in the lookup
    settle();
    QCOMPARE(store.state(alpha), AppInstallState::installed(u"1.0.0"_qs));
    if (destroyStore) {
        h.store.reset();
    } else {
        QCoro::waitFor(store.uninstall(alpha.id, false));
        // A newer record, which the ending lookup must not clear.
        h.fakes.persistInstall(alpha.id, u"1.0.0"_qs, h.fakes.bundlePath(alpha.name));
    }
    const QByteArray preferences = readFile(h.fakes.preferencesPath);
    h.fakes.workspace->release();
    finishWorkers();

    QVERIFY(h.fakes.workspace->opened.isEmpty());
    QCOMPARE(readFile(h.fakes.preferencesPath), preferences);
    if (!destroyStore) {
        QVERIFY(!store.errorMessage());
        QCOMPARE(store.state(alpha), AppInstallState::notInstalled());
    }
}
