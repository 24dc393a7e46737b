#include "core/error.h"
#include "install/app_installer.h"
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

// The child's arguments: the marker, the swap point, the install root, the temporary folder,
// the trusted roots (PEM file), the archive, its digest and the bundle to update.
std::optional<int> runAsCrashChild() {
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 9 || args.at(1) != kChildMarker)
        return std::nullopt;
    const QMap<QString, SwapPoint> points{{u"backupMoved"_qs, SwapPoint::backupMoved},
                                          {u"movedIntoPlace"_qs, SwapPoint::movedIntoPlace},
                                          {u"finalCheckPassed"_qs, SwapPoint::finalCheckPassed}};
    const SwapPoint target = points.value(args.at(2));
    QFile anchors(args.at(5));
    if (!points.contains(args.at(2)) || !anchors.open(QIODevice::ReadOnly)) {
        std::fputs("crash child: bad arguments\n", stderr);
        return 2;
    }
    AppInstaller installer(
        sharedNetworkAccessManager(), args.at(3),
        std::make_shared<BundleSignatureValidator>(TestCA::team(), anchors.readAll()),
        std::make_shared<FakeSystemInformation>(), {args.at(4), {}, [target](SwapPoint point) {
                                                        if (point == target)
                                                            ::kill(::getpid(), SIGKILL);
                                                    }});
    QString outcome = u"the update finished"_qs;
    auto capture = [&](QCoro::Task<InstalledApp> running) -> QCoro::Task<> {
        try {
            co_await std::move(running);
        } catch (const Error& error) {
            outcome = error.rendering();
        }
    };
    QCoro::Task<InstalledApp> installing = installer.install(
        notesRelease(args.at(6), args.at(7)), QUrl::fromLocalFile(args.at(8)), {}, {});
    QCoro::Task<> capturing = capture(std::move(installing));
    QCoro::waitFor(std::move(capturing));
    std::fprintf(stderr, "crash child: not killed: %s\n", qPrintable(outcome));
    return 3;
}

} // namespace nimbara::test

void TestStore::recoversUpdateKilledMidSwap_data() {
    QTest::addColumn<QString>("point");
    QTest::addColumn<QString>("killedWith"); // the version at the destination at the kill
    QTest::newRow("after the backup move") << u"backupMoved"_qs << u"<none>"_qs;
    QTest::newRow("after the move into place") << u"movedIntoPlace"_qs << u"2.0.0"_qs;
}

// A child process updates Notes from 1.0.0 to 2.0.0 and is killed at a point of the swap. The
// store records an update only once it has finished, so the next start must bring back 1.0.0.
void TestStore::recoversUpdateKilledMidSwap() {
    QFETCH(QString, point);
    QFETCH(QString, killedWith);

    StoreHarness h;
    const QString root = h.fakes.installRoot;
    const QString temporary = h.fakes.folder + u"/tmp"_qs;
    const QString build = h.fakes.folder + u"/build"_qs;
    QVERIFY(QDir().mkpath(temporary) && QDir().mkpath(build + u"/v2"_qs));
    const TestCA& ca = TestCA::shared();
    const QString anchors = build + u"/anchors.pem"_qs;
    writeBytes(anchors, ca.anchorsPem());
    const QString archive = build + u"/notes-2.zip"_qs;
    zipFolder(writeSignedBundle(build + u"/v2"_qs, ca.developerID(),
                                {u"Notes"_qs, kBundleID, u"2.0.0"_qs, true}),
              archive);
    const QString bundle =
        writeSignedBundle(root, ca.developerID(), {u"Notes"_qs, kBundleID, u"1.0.0"_qs, true});
    QCOMPARE(bundle, h.fakes.bundlePath(u"Notes"_qs));
    const auto installed = treeSnapshot(bundle);
    const AppManifestItem notes = notesRelease(archive, sha256OfFile(archive));
    h.fakes.persistInstall(notes.id, u"1.0.0"_qs, bundle);

    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {kChildMarker, point, root, temporary, anchors, archive, *notes.sha256, bundle});
    QVERIFY(child.waitForFinished(-1));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    QCOMPARE(bundleVersionAt(bundle), killedWith);
    QCOMPARE(QDir(root).entryList({u"Notes.app.*.backup"_qs}, QDir::Dirs).size(), 1);

    // The next start: recovery (with a start after the child's end), then re-validation.
    h.fakes.installRecovery =
        std::make_shared<InstallRecovery>(root, temporary, QDateTime::currentDateTimeUtc());
    LauncherStore& store = h.start(catalogWith({notes}));
    QCoro::waitFor(store.loadStoredStateIfNeeded());

    QCOMPARE(bundleVersionAt(bundle), u"1.0.0"_qs);
    QCOMPARE(treeSnapshot(bundle), installed);
    const QStringList left = installLeftovers(h.fakes.folder);
    QVERIFY2(left.isEmpty(), qPrintable(left.join(u", "_qs)));
    QCOMPARE(store.state(notes), AppInstallState::updateAvailable(u"1.0.0"_qs, u"2.0.0"_qs));
    QCOMPARE(store.installedAppURLs().value(notes.id), QUrl::fromLocalFile(bundle));
}
