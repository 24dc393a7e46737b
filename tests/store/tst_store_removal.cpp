#include "tst_store.h"

#include <QCoro/QCoroTask>
#include <QSignalSpy>

using namespace nimbara;
using namespace nimbara::test;

namespace {
const QString kDesiredKey = u"nimbara.launchAtLoginDesired"_qs;
} // namespace

void TestStore::uninstallOneApp_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("installed");
    QTest::addColumn<bool>("deleteData");
    QTest::addColumn<QStringList>("problems");

    QTest::newRow("installed, removed cleanly") << u"alpha"_qs << true << false << QStringList();
    QTest::newRow("installed, with data, two problems")
        << u"alpha"_qs << true << true
        << QStringList{u"Alpha did not quit."_qs, u"Caches stayed."_qs};
    QTest::newRow("no recorded location") << u"alpha"_qs << false << true << QStringList();
    QTest::newRow("not in the catalog") << u"ghost"_qs << true << true << QStringList();
}

void TestStore::uninstallOneApp() {
    QFETCH(QString, target);
    QFETCH(bool, installed);
    QFETCH(bool, deleteData);
    QFETCH(QStringList, problems);

    StoreHarness h;
    const AppManifestItem alpha = publishedApp(u"alpha"_qs);
    const AppManifestItem bravo = publishedApp(u"bravo"_qs);
    if (installed) {
        h.persistInstalledApp(alpha, u"1.0.0"_qs);
    }
    h.persistInstalledApp(bravo, u"1.0.0"_qs);
    LauncherStore& store = h.start(catalogWith({alpha, bravo}), true);
    h.fakes.uninstaller->setProblems(alpha.id, problems);
    QSignalSpy inProgress(&store, &LauncherStore::uninstallInProgressChanged);
    bool inProgressDuringRemoval = false;
    h.fakes.uninstaller->onRemove = [&](const AppRemovalRequest&) {
        inProgressDuringRemoval = store.uninstallInProgress();
    };

    QCoro::waitFor(store.uninstall(target, deleteData));

    QVERIFY(!store.uninstallInProgress());
    QCOMPARE(store.state(bravo), AppInstallState::installed(u"1.0.0"_qs));
    if (target != alpha.id) {
        QVERIFY(h.fakes.uninstaller->requests.isEmpty());
        QCOMPARE(inProgress.size(), 0);
        QCOMPARE(store.state(alpha), AppInstallState::installed(u"1.0.0"_qs));
        QCOMPARE(h.fakes.persistedVersions().size(), 2);
        QVERIFY(!store.errorMessage());
        return;
    }
    const AppRemovalRequest expected{alpha.id, alpha.bundleId,
                                     installed ? std::optional(h.bundleURL(alpha)) : std::nullopt,
                                     deleteData};
    QCOMPARE(h.fakes.uninstaller->requests, QList{expected});
    QVERIFY(inProgressDuringRemoval);
    QCOMPARE(store.state(alpha), AppInstallState::notInstalled());
    QVERIFY(!store.installedAppURLs().contains(alpha.id));
    QCOMPARE(h.fakes.persistedVersions().keys(), QStringList{bravo.id});
    QCOMPARE(h.fakes.persistedPaths().keys(), QStringList{bravo.id});

    const QList<FakeErrorReporter::Report>& reports = h.fakes.errorReporter->reports;
    if (problems.isEmpty()) {
        QVERIFY(!store.errorMessage());
        QVERIFY(reports.isEmpty());
        return;
    }
    const QString joined = problems.join(u"; "_qs);
    QCOMPARE(store.errorMessage(), textFor(CopyKey::uninstallPartialFailure, u"Alpha"_qs, joined));
    QCOMPARE(reports.size(), 1);
    QCOMPARE(reports.first().description, joined);
    QCOMPARE(reports.first().context,
             (ErrorReportContext{{u"flow"_qs, u"uninstall"_qs}, {u"app"_qs, u"alpha"_qs}}));
}

void TestStore::uninstallEverything_data() {
    QTest::addColumn<QStringList>("alphaProblems");
    QTest::addColumn<QString>("selfTrash"); // "trashed", "skipped" or a failure message
    QTest::addColumn<QStringList>("expectedLines");

    QTest::newRow("everything removed") << QStringList() << u"trashed"_qs << QStringList();
    QTest::newRow("not running from a bundle") << QStringList() << u"skipped"_qs << QStringList();
    QTest::newRow("an app left problems")
        << QStringList{u"Bundle stayed."_qs, u"Data stayed."_qs} << u"trashed"_qs
        << QStringList{u"Alpha: Bundle stayed."_qs, u"Alpha: Data stayed."_qs};
    QTest::newRow("own bundle stays") << QStringList() << u"Permission denied"_qs
                                      << QStringList{u"Nimbara.app: Permission denied"_qs};
}

void TestStore::uninstallEverything() {
    QFETCH(QStringList, alphaProblems);
    QFETCH(QString, selfTrash);
    QFETCH(QStringList, expectedLines);

    StoreHarness h;
    const AppManifestItem alpha = publishedApp(u"alpha"_qs);
    const AppManifestItem bravo = publishedApp(u"bravo"_qs); // never installed
    const AppManifestItem charlie = publishedApp(u"charlie"_qs);
    h.persistInstalledApp(alpha, u"1.0.0"_qs);
    h.persistInstalledApp(charlie, u"0.9.0"_qs);                   // an update is available
    h.persistInstalledApp(publishedApp(u"ghost"_qs), u"1.0.0"_qs); // not in the catalog
    {
        PreferencesStore file(h.fakes.preferencesPath);
        file.setBool(QString::fromLatin1(StoreKeys::onboardingComplete), true);
        file.setBool(QString::fromLatin1(StoreKeys::announcementBaselineEstablished), true);
        file.setStringArray(QString::fromLatin1(StoreKeys::seenAnnouncementIDs), {u"a1"_qs});
        file.setBool(kDesiredKey, true);
        file.setBool(u"nimbara.other"_qs, true); // written by some other part of the launcher
        file.setBool(u"unrelated.flag"_qs, true);
    }
    h.fakes.loginItemManager->currentState = LoginItemState::enabled();
    h.fakes.loginItemManager->stateAfterSetDesired = [](bool enabled) {
        return enabled ? LoginItemState::enabled() : LoginItemState::disabled();
    };
    h.fakes.uninstaller->setProblems(alpha.id, alphaProblems);
    if (selfTrash == u"skipped"_qs) {
        h.fakes.uninstaller->selfTrashResult = SelfTrashResult::skippedNotAppBundle();
    } else if (selfTrash != u"trashed"_qs) {
        h.fakes.uninstaller->selfTrashResult = SelfTrashResult::failed(selfTrash);
    }
    LauncherStore& store = h.start(catalogWith({alpha, bravo, charlie}), true);
    QCOMPARE(store.managedAppIDs(), (QStringList{alpha.id, charlie.id}));

    QCoro::waitFor(store.uninstallEverythingAndRemoveNimbara(true));

    QList<AppRemovalRequest> expectedRequests;
    for (const AppManifestItem& app : {alpha, charlie}) {
        expectedRequests.append({app.id, app.bundleId, h.bundleURL(app), true});
    }
    QCOMPARE(h.fakes.uninstaller->requests, expectedRequests);
    QCOMPARE(store.state(alpha), AppInstallState::notInstalled());
    QCOMPARE(store.state(charlie), AppInstallState::notInstalled());
    QVERIFY(store.installedAppURLs().isEmpty());
    QVERIFY(store.managedAppIDs().isEmpty());

    // Every key of the launcher goes; launch-at-login is switched off, which leaves its own
    // key holding false.
    const PreferencesStore file(h.fakes.preferencesPath);
    QCOMPARE(file.keys(), (QStringList{kDesiredKey, u"unrelated.flag"_qs}));
    QVERIFY(file.objectForKey(kDesiredKey) == PreferenceValue::boolean(false));
    QCOMPARE(h.fakes.loginItemManager->setDesiredCalls, QList{false});
    QCOMPARE(store.launchAtLoginState(), LoginItemState::disabled());
    QCOMPARE(h.fakes.uninstaller->selfTrashCalls, QList{h.fakes.launcherBundleURL});
    QVERIFY(!store.uninstallInProgress());

    const QList<FakeErrorReporter::Report>& reports = h.fakes.errorReporter->reports;
    if (expectedLines.isEmpty()) {
        QCOMPARE(*h.fakes.quitCount, 1);
        QCOMPARE(h.fakes.journal->last(), u"quit"_qs);
        QVERIFY(!store.errorMessage());
        QVERIFY(reports.isEmpty());
        return;
    }
    const QString joined = expectedLines.join(u"; "_qs);
    QCOMPARE(*h.fakes.quitCount, 0);
    QCOMPARE(store.errorMessage(),
             textFor(CopyKey::uninstallEverythingPartialFailure, QString(), joined));
    QCOMPARE(reports.size(), 1);
    QCOMPARE(reports.first().description, joined);
    QCOMPARE(reports.first().context,
             (ErrorReportContext{{u"flow"_qs, u"uninstall_everything"_qs}}));
}
