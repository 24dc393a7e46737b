#include "core/error.h"
#include "install/app_installer.h"
#include "install/app_rollback.h"
#include "install/bundle_signature_validator.h"
#include "install/file_digest.h"
#include "install/install_recovery.h"
#include "platform/network_session.h"
#include "support/sample_bundle.h"
#include "support/test_ca.h"
#include "tst_store.h"

#include <QCoro/QCoroTask>
#include <QProcess>
#include <csignal>
#include <cstdio>
#include <unistd.h>

using namespace nimbara;
using namespace nimbara::test;

namespace {

const QString kChildMarker = u"--update-and-die-at"_qs;
const QString kBundleID = u"com.example.notes"_qs;

// The catalog entry of version 2.0.0 of Notes, downloaded from `archive`.
AppManifestItem notesRelease(const QString& archive, const QString& digest) {
    AppManifestItem app = publishedApp(u"notes"_qs);
    app.name = u"Notes"_qs;
    app.bundleId = kBundleID;
    app.version = u"2.0.0"_qs;
    app.downloadUrl = QUrl::fromLocalFile(archive);
    app.sha256 = digest;
    return app;
}

} // namespace

namespace nimbara::test {

// The child's arguments: the marker, the operation (update or rollback), the swap point, the
// install root, the temporary folder, the trusted roots (PEM file), the archive, its digest, the
// bundle to replace and the kept copies' folder.
std::optional<int> runAsCrashChild() {
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 11 || args.at(1) != kChildMarker)
        return std::nullopt;
    const QMap<QString, SwapPoint> points{{u"backupMoved"_qs, SwapPoint::backupMoved},
                                          {u"movedIntoPlace"_qs, SwapPoint::movedIntoPlace},
                                          {u"finalCheckPassed"_qs, SwapPoint::finalCheckPassed}};
    const SwapPoint target = points.value(args.at(3));
    QFile anchors(args.at(6));
    if (!points.contains(args.at(3)) || !anchors.open(QIODevice::ReadOnly)) {
        std::fputs("crash child: bad arguments\n", stderr);
        return 2;
    }
    const auto validator =
        std::make_shared<BundleSignatureValidator>(TestCA::team(), anchors.readAll());
    const SwapHook kill = [target](SwapPoint point) {
        if (point == target)
            ::kill(::getpid(), SIGKILL);
    };
    const AppManifestItem notes = notesRelease(args.at(7), args.at(8));
    const QUrl bundle = QUrl::fromLocalFile(args.at(9));
    AppInstaller installer(sharedNetworkAccessManager(), args.at(4), validator,
                           std::make_shared<FakeSystemInformation>(), {args.at(5), {}, kill, {}});
    AppRollback rollback(KeptCopies(args.at(10)), validator, kill);

    QString outcome = u"it finished"_qs;
    auto capture = [&](QCoro::Task<> running) -> QCoro::Task<> {
        try {
            co_await std::move(running);
        } catch (const Error& error) {
            outcome = error.rendering();
        }
    };
    auto operation = [&]() -> QCoro::Task<> {
        if (args.at(2) == u"rollback"_qs) {
            QCoro::Task<RolledBackApp> rolling = rollback.rollBack(notes, bundle);
            co_await std::move(rolling);
        } else {
            QCoro::Task<InstalledApp> installing = installer.install(notes, bundle, {}, {});
            co_await std::move(installing);
        }
    };
    QCoro::Task<> running = operation();
    QCoro::Task<> capturing = capture(std::move(running));
    QCoro::waitFor(std::move(capturing));
    std::fprintf(stderr, "crash child: not killed: %s\n", qPrintable(outcome));
    return 3;
}

} // namespace nimbara::test

void TestStore::recoversUpdateKilledMidSwap_data() {
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("point");
    QTest::addColumn<QString>("killedWith"); // the version at the destination at the kill
    QTest::addColumn<QString>("recovered");  // the version there after the next start
    QTest::newRow("update, after the backup move")
        << u"update"_qs << u"backupMoved"_qs << u"<none>"_qs << u"1.0.0"_qs;
    QTest::newRow("update, after the move into place")
        << u"update"_qs << u"movedIntoPlace"_qs << u"2.0.0"_qs << u"1.0.0"_qs;
    QTest::newRow("rollback, after the backup move")
        << u"rollback"_qs << u"backupMoved"_qs << u"<none>"_qs << u"2.0.0"_qs;
    QTest::newRow("rollback, after the move into place")
        << u"rollback"_qs << u"movedIntoPlace"_qs << u"1.0.0"_qs << u"2.0.0"_qs;
    QTest::newRow("rollback, after the final check")
        << u"rollback"_qs << u"finalCheckPassed"_qs << u"1.0.0"_qs << u"2.0.0"_qs;
}

// A child process updates Notes from 1.0.0 to 2.0.0, or rolls 2.0.0 back to its kept 1.0.0, and
// is killed at a point of the swap. The store records either only once it has finished, so the
// next start must bring back the version recorded before, and keep the kept copy.
void TestStore::recoversUpdateKilledMidSwap() {
    QFETCH(QString, operation);
    QFETCH(QString, point);
    QFETCH(QString, killedWith);
    QFETCH(QString, recovered);

    StoreHarness h;
    const QString root = h.fakes.installRoot;
    const QString temporary = h.fakes.folder + u"/tmp"_qs;
    const QString build = h.fakes.folder + u"/build"_qs;
    const QString keptRoot = h.fakes.folder + u"/previous"_qs;
    QVERIFY(QDir().mkpath(temporary) && QDir().mkpath(build + u"/v2"_qs));
    const TestCA& ca = TestCA::shared();
    const QString anchors = build + u"/anchors.pem"_qs;
    writeBytes(anchors, ca.anchorsPem());
    const QString archive = build + u"/notes-2.zip"_qs;
    zipFolder(writeSignedBundle(build + u"/v2"_qs, ca.developerID(),
                                {u"Notes"_qs, kBundleID, u"2.0.0"_qs, true}),
              archive);
    const bool rollingBack = operation == u"rollback"_qs;
    const QString bundle =
        writeSignedBundle(root, ca.developerID(), {u"Notes"_qs, kBundleID, recovered, true});
    QCOMPARE(bundle, h.fakes.bundlePath(u"Notes"_qs));
    if (rollingBack) {
        const QString old = writeSignedBundle(build + u"/v1"_qs, ca.developerID(),
                                              {u"Notes"_qs, kBundleID, u"1.0.0"_qs, true});
        KeptCopies(keptRoot).keep(u"notes"_qs, old, u"1.0.0"_qs);
    }
    const auto installed = treeSnapshot(bundle);
    const AppManifestItem notes = notesRelease(archive, sha256OfFile(archive));
    h.fakes.persistInstall(notes.id, recovered, bundle);

    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {kChildMarker, operation, point, root, temporary, anchors, archive, *notes.sha256,
                 bundle, keptRoot});
    QVERIFY(child.waitForFinished(-1));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    QCOMPARE(bundleVersionAt(bundle), killedWith);
    QCOMPARE(QDir(root).entryList({u"Notes.app.*.backup"_qs}, QDir::Dirs).size(), 1);

    // The next start: recovery (with a start after the child's end), then re-validation.
    h.fakes.installRecovery = std::make_shared<InstallRecovery>(
        root, temporary, QDateTime::currentDateTimeUtc(), keptRoot);
    h.fakes.rollback = std::make_shared<AppRollback>(
        KeptCopies(keptRoot),
        std::make_shared<BundleSignatureValidator>(TestCA::team(), ca.anchorsPem()));
    LauncherStore& store = h.start(catalogWith({notes}));
    QCoro::waitFor(store.loadStoredStateIfNeeded());

    QCOMPARE(bundleVersionAt(bundle), recovered);
    QCOMPARE(treeSnapshot(bundle), installed);
    const QStringList left = installLeftovers(h.fakes.folder);
    QVERIFY2(left.isEmpty(), qPrintable(left.join(u", "_qs)));
    QCOMPARE(store.state(notes), rollingBack
                                     ? AppInstallState::installed(u"2.0.0"_qs)
                                     : AppInstallState::updateAvailable(u"1.0.0"_qs, u"2.0.0"_qs));
    QCOMPARE(store.installedAppURLs().value(notes.id), QUrl::fromLocalFile(bundle));
    QCOMPARE(store.rollbackVersion(notes.id),
             rollingBack ? std::optional(u"1.0.0"_qs) : std::nullopt);
}
