#include "install/app_rollback.h"
#include "install/bundle_signature_validator.h"
#include "support/sample_bundle.h"
#include "support/task_outcome.h"
#include "support/test_ca.h"
#include "tst_store.h"

#include <QCoro/QCoroTask>
#include <QDir>

using namespace nimbara;
using namespace nimbara::test;

namespace {

const AppManifestItem kCharlie = publishedApp(u"charlie"_qs);
const QString kNotesID = u"com.example.notes"_qs;

AppManifestItem notesAt(const QString& version) {
    AppManifestItem app = publishedApp(u"notes"_qs);
    app.name = u"Notes"_qs;
    app.bundleId = kNotesID;
    app.version = version;
    return app;
}

} // namespace

void TestStore::updateAll_data() {
    QTest::addColumn<QString>("failing");   // the app whose update fails; empty: none
    QTest::addColumn<QString>("cancelAt");  // the app under way when the run is cancelled
    QTest::addColumn<QString>("userStops"); // the app the user stops alone
    QTest::addColumn<QString>("busy");      // an app the user is installing already
    QTest::addColumn<QStringList>("updated");
    QTest::addColumn<QStringList>("failed");
    QTest::addColumn<bool>("cancelled");

    const QString none;
    QTest::newRow("every app") << none << none << none << none
                               << QStringList{u"alpha"_qs, u"bravo"_qs, u"charlie"_qs}
                               << QStringList{} << false;
    QTest::newRow("a failure in the middle goes on")
        << u"bravo"_qs << none << none << none << QStringList{u"alpha"_qs, u"charlie"_qs}
        << QStringList{u"bravo"_qs} << false;
    QTest::newRow("cancelled during the second")
        << none << u"bravo"_qs << none << none << QStringList{u"alpha"_qs} << QStringList{} << true;
    QTest::newRow("one app stopped alone, the others go on")
        << none << none << u"bravo"_qs << none << QStringList{u"alpha"_qs, u"charlie"_qs}
        << QStringList{} << false;
    QTest::newRow("an app installing already is left to its install")
        << none << none << none << u"charlie"_qs << QStringList{u"alpha"_qs, u"bravo"_qs}
        << QStringList{} << false;
}

// Three apps with updates, updated one after another through the store's install path.
void TestStore::updateAll() {
    QFETCH(QString, failing);
    QFETCH(QString, cancelAt);
    QFETCH(QString, userStops);
    QFETCH(QString, busy);
    QFETCH(QStringList, updated);
    QFETCH(QStringList, failed);
    QFETCH(bool, cancelled);

    StoreHarness h;
    const QList<AppManifestItem> apps{kAlpha, kBravo, kCharlie};
    for (const AppManifestItem& app : apps) {
        h.persistInstalledApp(app, u"0.9.0"_qs);
    }
    if (!failing.isEmpty()) {
        h.fakes.installer->failures.insert(
            failing, std::make_exception_ptr(FakeError(u"Broken"_qs, u"Fake.broken"_qs)));
    }
    const QString held = !cancelAt.isEmpty() ? cancelAt : userStops;
    const std::shared_ptr<Gate> gate = held.isEmpty() ? nullptr : h.fakes.installer->hold(held);
    const std::shared_ptr<Gate> busyGate = busy.isEmpty() ? nullptr : h.fakes.installer->hold(busy);
    LauncherStore& store = h.start(catalogWith(apps), true);
    QCOMPARE(store.updatableApps().size(), 3);
    if (busyGate) {
        store.install(kCharlie);
    }

    // A busy app is named, so that the run meets it; otherwise the run takes every update.
    // The run goes on while the test looks; its task is dropped and ends by itself.
    const auto outcome = std::make_shared<Outcome<LauncherStore::UpdateAllOutcome>>();
    captureOutcome(store.updateAll(busy.isEmpty() ? QStringList()
                                                  : QStringList{u"alpha"_qs, u"bravo"_qs, busy}),
                   *outcome);
    if (gate) {
        QVERIFY(store.updateAllInProgress());
        QTRY_COMPARE(store.state(held).kind(), AppInstallState::Case::installing);
        // Only one app installs at a time.
        QCOMPARE(h.fakes.installer->inFlight, 1);
        if (!cancelAt.isEmpty()) {
            store.cancelUpdateAll();
        } else {
            store.cancelInstall(userStops);
        }
    }
    QTRY_VERIFY(outcome->value.has_value());
    QCOMPARE(outcome->value->updated, updated);
    QCOMPARE(outcome->value->failed, failed);
    QCOMPARE(outcome->value->cancelled, cancelled);
    QVERIFY(!store.updateAllInProgress());
    if (busyGate) {
        busyGate->open();
        QTRY_COMPARE(store.state(busy).kind(), AppInstallState::Case::installed);
    }

    for (const AppManifestItem& app : apps) {
        const AppInstallState::Case expected =
            updated.contains(app.id) || app.id == busy ? AppInstallState::Case::installed
            : failed.contains(app.id)                  ? AppInstallState::Case::failed
                                                       : AppInstallState::Case::updateAvailable;
        QCOMPARE(store.state(app).kind(), expected);
    }
    // One message for the whole run, naming the apps that failed.
    QCOMPARE(store.errorMessage(),
             failed.isEmpty()
                 ? std::nullopt
                 : std::optional(NimbaraCopy::text(CopyKey::errorUpdateAllFailed, NimbaraLocale::en,
                                                   {{u"apps"_qs, u"Bravo"_qs}})));
    // After a cancel, the apps after the cancelled one were not asked for at all; a busy app was
    // asked once, by its own install.
    QCOMPARE(h.fakes.installer->calls.size(), cancelled ? 2 : 3);
}

void TestStore::rollBack_data() {
    QTest::addColumn<QString>("tamper"); // what is done to the kept copy before the rollback
    QTest::addColumn<bool>("succeeds");
    QTest::newRow("the kept copy is put back") << u""_qs << true;
    QTest::newRow("a file of the kept copy changed") << u"file"_qs << false;
    QTest::newRow("the kept copy's record names another version") << u"record"_qs << false;
    QTest::newRow("another app kept in its place") << u"identifier"_qs << false;
}

// Notes 2.0.0 is installed with 1.0.0 kept; the kept copy is checked again before it goes back.
void TestStore::rollBack() {
    QFETCH(QString, tamper);
    QFETCH(bool, succeeds);

    StoreHarness h;
    const TestCA& ca = TestCA::shared();
    const auto validator =
        std::make_shared<BundleSignatureValidator>(TestCA::team(), ca.anchorsPem());
    const QString keptRoot = h.fakes.folder + u"/previous"_qs;
    h.fakes.rollback = std::make_shared<AppRollback>(KeptCopies(keptRoot), validator);
    const QString bundle = writeSignedBundle(h.fakes.installRoot, ca.developerID(),
                                             {u"Notes"_qs, kNotesID, u"2.0.0"_qs, true});
    const QString identifier = tamper == u"identifier"_qs ? u"com.example.other"_qs : kNotesID;
    const QString old = writeSignedBundle(h.fakes.folder + u"/old"_qs, ca.developerID(),
                                          {u"Notes"_qs, identifier, u"1.0.0"_qs, true});
    KeptCopies(keptRoot).keep(u"notes"_qs, old, u"1.0.0"_qs);
    const QString kept = KeptCopies(keptRoot).find(u"notes"_qs)->bundlePath;
    if (tamper == u"file"_qs) {
        writeBytes(kept + u"/Contents/Resources/readme.txt"_qs, "changed");
    } else if (tamper == u"record"_qs) {
        writeBytes(keptRoot + u"/notes/kept.json"_qs,
                   R"({"version": "1.0.1", "bundle": "Notes.app"})");
    }
    h.fakes.persistInstall(u"notes"_qs, u"2.0.0"_qs, bundle);
    const AppManifestItem notes = notesAt(u"2.0.0"_qs);
    LauncherStore& store = h.start(catalogWith({notes}));
    QCoro::waitFor(store.loadStoredStateIfNeeded());
    const QString keptVersion = tamper == u"record"_qs ? u"1.0.1"_qs : u"1.0.0"_qs;
    QCOMPARE(store.rollbackVersion(notes.id), std::optional(keptVersion));
    const auto installed = treeSnapshot(bundle);
    const auto keptTree = treeSnapshot(keptRoot);
    QString reason;
    try {
        validator->validate(QUrl::fromLocalFile(kept), kNotesID, keptVersion);
    } catch (const Error& error) {
        reason = error.description();
    }
    QCOMPARE(reason.isEmpty(), succeeds);

    QCOMPARE(QCoro::waitFor(store.rollBack(notes.id)), succeeds);
    const QStringList left = installLeftovers(h.fakes.folder);
    QVERIFY2(left.isEmpty(), qPrintable(left.join(u", "_qs)));
    if (succeeds) {
        QCOMPARE(bundleVersionAt(bundle), u"1.0.0"_qs);
        QCOMPARE(store.state(notes), AppInstallState::updateAvailable(u"1.0.0"_qs, u"2.0.0"_qs));
        QCOMPARE(h.fakes.persistedVersions().value(notes.id), u"1.0.0"_qs);
        QVERIFY(!QFileInfo::exists(keptRoot + u"/notes"_qs));
        QCOMPARE(store.rollbackVersion(notes.id), std::nullopt);
        QVERIFY(!store.errorMessage());
        return;
    }
    QCOMPARE(store.errorMessage(), textFor(CopyKey::errorRollBackFailed, u"Notes"_qs, reason));
    QCOMPARE(treeSnapshot(bundle), installed);
    QCOMPARE(treeSnapshot(keptRoot), keptTree);
    QCOMPARE(store.state(notes), AppInstallState::installed(u"2.0.0"_qs));
    QCOMPARE(h.fakes.persistedVersions().value(notes.id), u"2.0.0"_qs);
}
