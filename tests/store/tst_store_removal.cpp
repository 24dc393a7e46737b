#include "install/app_rollback.h"
#include "platform/xdg_base_directories.h"
#include "services/user_defaults_login_item_preference_store.h"
#include "services/xdg_autostart_login_item_adapter.h"
#include "support/sample_bundle.h"
#include "tst_store.h"

#include <QCoro/QCoroTask>
#include <QFile>

using namespace nimbara;
using namespace nimbara::test;

namespace {

// Keeps a copy of each app (as an update would have) under <folder>/previous, with the store's
// rollback over it; answers that folder.
QString keepCopies(StoreHarness& h, const QList<AppManifestItem>& apps) {
    const QString root = h.fakes.folder + u"/previous"_qs;
    for (const AppManifestItem& app : apps) {
        const QString old = writeSampleBundle(h.fakes.folder + u"/old-"_qs + app.id,
                                              {app.name, app.bundleId, u"0.9.0"_qs, false});
        KeptCopies(root).keep(app.id, old, u"0.9.0"_qs);
    }
    h.fakes.rollback = std::make_shared<AppRollback>(KeptCopies(root), h.fakes.codeValidator);
    return root;
}

qsizetype trashedCount() {
    return QDir(xdgDataHome() + u"/Trash/files"_qs)
        .entryList(QDir::AllEntries | QDir::NoDotAndDotDot)
        .size();
}

} // namespace

void TestStore::uninstallOneApp_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("installed");
    QTest::addColumn<QStringList>("problems"); // what the uninstaller reports
    QTest::addColumn<bool>("throws");          // the uninstaller breaks its promise not to throw

    QTest::newRow("installed, removed cleanly") << u"alpha"_qs << true << QStringList() << false;
    QTest::newRow("installed, two problems")
        << u"alpha"_qs << true << QStringList{u"Alpha did not quit."_qs, u"Caches stayed."_qs}
        << false;
    QTest::newRow("uninstaller throws") << u"alpha"_qs << true << QStringList() << true;
    QTest::newRow("no recorded location") << u"alpha"_qs << false << QStringList() << false;
    QTest::newRow("not in the catalog") << u"ghost"_qs << true << QStringList() << false;
}

void TestStore::uninstallOneApp() {
    QFETCH(QString, target);
    QFETCH(bool, installed);
    QFETCH(QStringList, problems);
    QFETCH(bool, throws);

    StoreHarness h;
    if (installed) {
        h.persistInstalledApp(kAlpha, u"1.0.0"_qs);
    }
    h.persistInstalledApp(kBravo, u"1.0.0"_qs);
    const QString kept = keepCopies(h, {kAlpha, kBravo});
    const qsizetype trashedBefore = trashedCount();
    LauncherStore& store = h.start(catalogWith({kAlpha, kBravo}), true);
    h.fakes.uninstaller->problems.insert(kAlpha.id, problems);
    bool inProgressDuringRemoval = false;
    h.fakes.uninstaller->onRemove = [&](const AppRemovalRequest&) {
        inProgressDuringRemoval = store.uninstallInProgress();
        if (throws) {
            throw FakeError(u"The disk is gone."_qs, u"DiskError.gone"_qs);
        }
    };

    const bool deleteData = !problems.isEmpty(); // one row asks for it, to see it passed on
    QCoro::waitFor(store.uninstall(target, deleteData));

    QVERIFY(!store.uninstallInProgress());
    QCOMPARE(store.state(kBravo), kInstalled);
    // The removed app's kept copy goes to the Trash with it; the other app's stays.
    const bool removed = target == kAlpha.id;
    QCOMPARE(QFileInfo::exists(kept + u"/alpha"_qs), !removed);
    QCOMPARE(trashedCount(), trashedBefore + (removed ? 1 : 0));
    QVERIFY(QFileInfo::exists(kept + u"/bravo"_qs));
    if (!removed) {
        QVERIFY(h.fakes.uninstaller->requests.isEmpty());
        QCOMPARE(store.state(kAlpha), kInstalled);
        QCOMPARE(h.fakes.persistedVersions().size(), 2);
        QVERIFY(!store.errorMessage());
        return;
    }
    const AppRemovalRequest expected{kAlpha.id, kAlpha.bundleId,
                                     installed ? std::optional(h.bundleURL(kAlpha)) : std::nullopt,
                                     deleteData};
    QCOMPARE(h.fakes.uninstaller->requests, QList{expected});
    QVERIFY(inProgressDuringRemoval);
    QCOMPARE(store.state(kAlpha), AppInstallState::notInstalled());
    QVERIFY(!store.installedAppURLs().contains(kAlpha.id));
    QCOMPARE(h.fakes.persistedVersions().keys(), QStringList{kBravo.id});
    QCOMPARE(h.fakes.persistedPaths().keys(), QStringList{kBravo.id});

    const QString joined = throws ? u"The disk is gone."_qs : problems.join(u"; "_qs);
    const Reports failed{{joined, {{u"flow"_qs, u"uninstall"_qs}, {u"app"_qs, u"alpha"_qs}}}};
    QCOMPARE(h.fakes.errorReporter->reports, joined.isEmpty() ? Reports() : failed);
    QCOMPARE(store.errorMessage(),
             joined.isEmpty()
                 ? std::nullopt
                 : std::optional(textFor(CopyKey::uninstallPartialFailure, u"Alpha"_qs, joined)));
}

void TestStore::uninstallEverything_data() {
    QTest::addColumn<QStringList>("alphaProblems");
    QTest::addColumn<QString>("selfTrash"); // "trashed", "skipped" or a failure message
    QTest::addColumn<QStringList>("expectedLines");
    QTest::addColumn<bool>("autostartEntry"); // the launcher's own login-item manager

    QTest::newRow("everything removed") << QStringList() << u"trashed"_qs << QStringList() << false;
    QTest::newRow("not running from a bundle")
        << QStringList() << u"skipped"_qs << QStringList() << false;
    QTest::newRow("an app left problems")
        << QStringList{u"Bundle stayed."_qs, u"Data stayed."_qs} << u"trashed"_qs
        << QStringList{u"Alpha: Bundle stayed."_qs, u"Alpha: Data stayed."_qs} << false;
    QTest::newRow("own bundle stays") << QStringList() << u"Permission denied"_qs
                                      << QStringList{u"Nimbara.app: Permission denied"_qs} << false;
    QTest::newRow("autostart entry removed")
        << QStringList() << u"trashed"_qs << QStringList() << true;
}

void TestStore::uninstallEverything() {
    QFETCH(QStringList, alphaProblems);
    QFETCH(QString, selfTrash);
    QFETCH(QStringList, expectedLines);
    QFETCH(bool, autostartEntry);

    StoreHarness h;
    const AppManifestItem charlie = publishedApp(u"charlie"_qs);
    h.persistInstalledApp(kAlpha, u"1.0.0"_qs);                    // bravo was never installed
    h.persistInstalledApp(charlie, u"0.9.0"_qs);                   // an update is available
    h.persistInstalledApp(publishedApp(u"ghost"_qs), u"1.0.0"_qs); // not in the catalog
    {
        PreferencesStore file(h.fakes.preferencesPath);
        file.setBool(QString::fromLatin1(StoreKeys::onboardingComplete), true);
        file.setBool(QString::fromLatin1(StoreKeys::announcementBaselineEstablished), true);
        file.setStringArray(QString::fromLatin1(StoreKeys::seenAnnouncementIDs), {u"a1"_qs});
        file.setBool(u"nimbara.other"_qs, true); // written by some other part of the launcher
        file.setBool(u"unrelated.flag"_qs, true);
    }
    if (autostartEntry) {
        h.fakes.loginItemManager = nullptr; // the store builds its own
        XdgAutostartLoginItemAdapter().registerItem();
    } else {
        h.fakes.loginItemManager->desired = true;
        h.fakes.loginItemManager->currentState = LoginItemState::enabled();
    }
    h.fakes.uninstaller->problems.insert(kAlpha.id, alphaProblems);
    if (selfTrash == u"skipped"_qs) {
        h.fakes.uninstaller->selfTrashResult = SelfTrashResult::skippedNotAppBundle();
    } else if (selfTrash != u"trashed"_qs) {
        h.fakes.uninstaller->selfTrashResult = SelfTrashResult::failed(selfTrash);
    }
    // A kept copy of an app no longer managed goes too.
    const QString kept = keepCopies(h, {kAlpha, kBravo});
    LauncherStore& store = h.start(catalogWith({kAlpha, kBravo, charlie}), true);

    QCoro::waitFor(store.uninstallEverythingAndRemoveNimbara(true));
    QCOMPARE(QDir(kept).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList());

    QList<AppRemovalRequest> expectedRequests;
    for (const AppManifestItem& app : {kAlpha, charlie}) {
        expectedRequests.append({app.id, app.bundleId, h.bundleURL(app), true});
    }
    QCOMPARE(h.fakes.uninstaller->requests, expectedRequests);
    QCOMPARE(store.state(kAlpha), AppInstallState::notInstalled());
    QCOMPARE(store.state(charlie), AppInstallState::notInstalled());
    QVERIFY(store.installedAppURLs().isEmpty());

    // Every key of the launcher goes, and launch-at-login is switched off. The launcher's own
    // manager writes its wish again, so that one key stays, holding false.
    const QString wish = QString::fromLatin1(UserDefaultsLoginItemPreferenceStore::kDesiredKey);
    QCOMPARE(PreferencesStore(h.fakes.preferencesPath).keys(),
             autostartEntry ? QStringList({wish, u"unrelated.flag"_qs})
                            : QStringList{u"unrelated.flag"_qs});
    if (autostartEntry) {
        QCOMPARE(PreferencesStore(h.fakes.preferencesPath).objectForKey(wish),
                 PreferenceValue::boolean(false));
        QVERIFY(!QFile::exists(XdgAutostartLoginItemAdapter::entryPath()));
    } else {
        QVERIFY(!h.fakes.loginItemManager->desired);
    }
    QCOMPARE(store.launchAtLoginState(), LoginItemState::disabled());
    QCOMPARE(h.fakes.uninstaller->selfTrashCalls, QList{h.fakes.launcherBundleURL});
    QVERIFY(!store.uninstallInProgress());

    const bool clean = expectedLines.isEmpty();
    const QString joined = expectedLines.join(u"; "_qs);
    QCOMPARE(*h.fakes.quitCount, clean ? 1 : 0);
    QCOMPARE(h.fakes.errorReporter->reports,
             (clean ? Reports() : Reports{{joined, {{u"flow"_qs, u"uninstall_everything"_qs}}}}));
    QCOMPARE(store.errorMessage(),
             clean ? std::nullopt
                   : std::optional(
                         textFor(CopyKey::uninstallEverythingPartialFailure, QString(), joined)));
}
