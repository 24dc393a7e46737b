#include "code_signing.h"
#include "core/cancellation_token.h"
#include "install/app_installer.h"
#include "install/bundle_signature_validator.h"
#include "install/file_digest.h"
#include "install/installed_bundle_metadata.h"
#include "platform/network_session.h"
#include "support/catalog_samples.h"
#include "support/fake_collaborators.h"
#include "support/raw_http_server.h"
#include "support/sample_bundle.h"
#include "support/temp_home.h"
#include "support/test_archive.h"
#include "support/test_ca.h"

#include <QDirIterator>
#include <QFile>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <sys/mount.h>

using namespace nimbara;
using namespace nimbara::test;
using namespace Qt::StringLiterals;

namespace {

const QString kBundleID = u"com.example.notes"_s;

struct Outcome {
    QString kind; // "ok", or the error's kind as its rendering names it
    QString description;
    std::optional<InstalledApp> installed;
};

Outcome runInstall(AppInstaller& installer, AppManifestItem app, std::optional<QUrl> existing,
                   InstallProgressSink progress = {}, CancellationToken cancellation = {}) {
    Outcome outcome;
    auto capture = [&](QCoro::Task<InstalledApp> running) -> QCoro::Task<> {
        try {
            outcome.installed = co_await std::move(running);
            outcome.kind = u"ok"_s;
        } catch (const Error& error) {
            outcome.kind = error.rendering().section(u'(', 0, 0);
            outcome.description = error.description();
        }
    };
    QCoro::Task<InstalledApp> installing = installer.install(
        std::move(app), std::move(existing), std::move(progress), std::move(cancellation));
    QCoro::Task<> capturing = capture(std::move(installing));
    QCoro::waitFor(std::move(capturing));
    return outcome;
}

// Serves the files of `folder` by name; "/status/<code>" answers with that status.
Respond serveFolder(const QString& folder) {
    return [folder](QTcpSocket* socket) {
        const QByteArray path = socket->peek(4096).split(' ').value(1).mid(1);
        if (path.startsWith("status/"))
            return answer(path.mid(7).toInt(), "no")(socket);
        QFile file(folder + u'/' + QString::fromUtf8(path));
        if (!file.open(QIODevice::ReadOnly))
            return answer(404, "missing")(socket);
        answer(200, file.readAll())(socket);
    };
}

// An install's leftovers below `root`, and the file a hostile archive tries to write outside
// its folder.
QStringList leftovers(const QString& root) {
    QStringList found = installLeftovers(root);
    QDirIterator it(root, QStringList{u"escaped.txt"_s}, QDir::Files | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        found.append(it.next());
    return found;
}

// A tree snapshot's entries named relative to the tree's root, to compare trees at two places.
QMap<QString, QByteArray> relative(const QMap<QString, QByteArray>& snapshot, const QString& root) {
    QMap<QString, QByteArray> named;
    for (auto entry = snapshot.cbegin(); entry != snapshot.cend(); ++entry)
        named.insert(QDir(root).relativeFilePath(entry.key()), entry.value());
    return named;
}

QMap<QString, QByteArray> relativeSnapshot(const QString& root) {
    return relative(treeSnapshot(root), root);
}

} // namespace

// Installs from real archives of real signed bundles, over loopback HTTP.
class TestInstaller : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    std::unique_ptr<RawServer> server_;
    std::shared_ptr<FakeSystemInformation> system_ = std::make_shared<FakeSystemInformation>();
    std::shared_ptr<BundleSignatureValidator> validator_ =
        std::make_shared<BundleSignatureValidator>(TestCA::team(), TestCA::shared().anchorsPem());

    QString path(const QString& name) const { return dir_.filePath(name); }
    QString rootBundle() const { return path(u"root/Notes.app"_s); }
    QString otherBundle() const { return path(u"elsewhere/Notes.app"_s); }

    AppInstaller installer(SwapHook hook = {}) {
        return AppInstaller(sharedNetworkAccessManager(), path(u"root"_s), validator_, system_,
                            {path(u"tmp"_s), {}, std::move(hook), KeptCopies(path(u"kept"_s))});
    }

    // The catalog entry of version 2.0.0 served as `archive` from the loopback server.
    AppManifestItem release(const QString& archive) const {
        AppManifestItem app = publishedApp(u"notes"_s);
        app.bundleId = kBundleID;
        app.version = u"2.0.0"_s;
        app.downloadUrl = url(u"http://127.0.0.1:%1/"_s + archive);
        app.sha256 = sha256OfFile(path(u"served/"_s + archive));
        return app;
    }

    QUrl url(const QString& pattern) const { return QUrl(pattern.arg(server_->serverPort())); }

    void serve(const QString& name, const QString& folder, bool folderItself) {
        zipFolder(path(u"build/"_s + folder), path(u"served/"_s + name), folderItself);
    }

    void noLeftovers() {
        const QStringList found = leftovers(dir_.path());
        QVERIFY2(found.isEmpty(), qPrintable(found.join(u", "_s)));
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        for (const QString& folder : {u"served"_s, u"root"_s, u"tmp"_s, u"elsewhere"_s})
            QVERIFY(QDir().mkpath(path(folder)));
        const auto signedNotes = [&](const QString& parent, const QString& version,
                                     const QString& name = u"Notes"_s) {
            QVERIFY(QDir().mkpath(path(u"build/"_s + parent)));
            writeSignedBundle(path(u"build/"_s + parent), TestCA::shared().developerID(),
                              {name, kBundleID, version, true});
        };
        signedNotes(u"v1"_s, u"1.0.0"_s);
        signedNotes(u"v2"_s, u"2.0.0"_s);
        signedNotes(u"extras"_s, u"2.0.0"_s);
        signedNotes(u"two"_s, u"2.0.0"_s);
        signedNotes(u"two"_s, u"2.0.0"_s, u"Notes Two"_s);
        signedNotes(u"nested/Folder"_s, u"2.0.0"_s);
        QVERIFY(QDir().mkpath(path(u"build/extras/__MACOSX/._Notes.app"_s)));
        writeBytes(path(u"build/extras/.hidden.app"_s), "x");
        QVERIFY(QDir().mkpath(path(u"build/none/Stuff"_s)));
        writeBytes(path(u"build/none/Stuff/readme.txt"_s), "no app here");
        QVERIFY(QDir().mkpath(path(u"build/other"_s)));
        writeSampleBundle(path(u"build/other"_s), {u"Notes"_s, u"com.example.other"_s, u"2.0.0"_s});
        serve(u"notes-2.zip"_s, u"v2/Notes.app"_s, true);
        serve(u"extras.zip"_s, u"extras"_s, false);
        serve(u"two.zip"_s, u"two"_s, false);
        serve(u"nested.zip"_s, u"nested"_s, false);
        serve(u"none.zip"_s, u"none"_s, false);
        serve(u"other.zip"_s, u"other/Notes.app"_s, true);
        TestArchive()
            .file("Notes.app/Contents/Info.plist", "<plist/>")
            .file("../../../escaped.txt", "out")
            .writeZip(path(u"served/escape.zip"_s));
        // A larger archive, so that its download reports progress more than once.
        QVERIFY(QDir().mkpath(path(u"build/big"_s)));
        const QString big =
            writeSampleBundle(path(u"build/big"_s), {u"Notes"_s, kBundleID, u"2.0.0"_s, false});
        QByteArray noise(6 * 1024 * 1024, Qt::Uninitialized);
        QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
        writeBytes(big + u"/Contents/Resources/noise.bin"_s, noise);
        codesign::signBundle(big, kBundleID, TestCA::shared().developerID());
        serve(u"big.zip"_s, u"big/Notes.app"_s, true);
        server_ = std::make_unique<RawServer>(serveFolder(path(u"served"_s)));
    }

    void init() {
        for (const QString& folder : {u"root"_s, u"elsewhere"_s, u"kept"_s}) {
            QVERIFY(QDir(path(folder)).removeRecursively());
            QVERIFY(QDir().mkpath(path(folder)));
        }
        system_->version = {14, 5, 0};
    }

    void install_data() {
        QTest::addColumn<QString>("archive");
        QTest::addColumn<QString>("address"); // empty: the release's own
        QTest::addColumn<QString>("digest");  // "" right, "upper" or "wrong"
        QTest::addColumn<QString>("minimum");
        QTest::addColumn<QString>("existing"); // none, root, elsewhere, stranger, gone, same
        QTest::addColumn<QString>("expected");
        const QString ok = u"ok"_s, notes = u"notes-2.zip"_s;
        const auto row = [](const char* tag, const QString& archive, const QString& address,
                            const QString& digest, const QString& existing,
                            const QString& expected) {
            QTest::newRow(tag) << archive << address << digest << u"13.0"_s << existing << expected;
        };
        row("new install", notes, {}, {}, u"none"_s, ok);
        row("upper-case digest", notes, {}, u"upper"_s, u"none"_s, ok);
        row("checksum mismatch", notes, {}, u"wrong"_s, u"root"_s, u".checksumMismatch"_s);
        row("500", notes, u"http://127.0.0.1:%1/status/500"_s, {}, u"root"_s, u".downloadFailed"_s);
        row("hidden file, resource forks", u"extras.zip"_s, {}, {}, u"none"_s, ok);
        row("two bundles", u"two.zip"_s, {}, {}, u"none"_s, u".unexpectedArchiveLayout"_s);
        row("bundle in a folder", u"nested.zip"_s, {}, {}, u"none"_s,
            u".unexpectedArchiveLayout"_s);
        row("no bundle", u"none.zip"_s, {}, {}, u"none"_s, u".appBundleNotFound"_s);
        row("another identifier", u"other.zip"_s, {}, {}, u"root"_s,
            u".bundleIdentifierMismatch"_s);
        row("hostile archive", u"escape.zip"_s, {}, {}, u"root"_s, u".extractionFailed"_s);
        row("update at the install root", notes, {}, {}, u"root"_s, ok);
        row("update where it was recorded", notes, {}, {}, u"elsewhere"_s, ok);
        row("stranger at the recorded place", notes, {}, {}, u"stranger"_s, ok);
        row("recorded place gone", notes, {}, {}, u"gone"_s, ok);
        row("reinstall of the same version", notes, {}, {}, u"same"_s, ok);
        QTest::newRow("minimum 14 on 14.0.0")
            << notes << QString() << QString() << u"14"_s << u"none"_s << ok;
        QTest::newRow("minimum 14.1 on 14.0.5")
            << notes << QString() << QString() << u"14.1"_s << u"root"_s << u".unsupportedMacOS"_s;
    }

    void install() {
        QFETCH(QString, archive);
        QFETCH(QString, address);
        QFETCH(QString, digest);
        QFETCH(QString, minimum);
        QFETCH(QString, existing);
        QFETCH(QString, expected);
        AppManifestItem app = release(archive);
        if (!address.isEmpty())
            app.downloadUrl = url(address);
        const QString rightDigest = *app.sha256;
        if (digest == u"upper"_s)
            app.sha256 = rightDigest.toUpper();
        if (digest == u"wrong"_s)
            app.sha256 = QString(64, u'A');
        app.minMacOS = minimum;
        if (minimum != u"13.0"_s)
            system_->version = minimum == u"14"_s ? OperatingSystemVersion{14, 0, 0}
                                                  : OperatingSystemVersion{14, 0, 5};

        std::optional<QUrl> recorded;
        QString previous; // what the update should replace, or leave alone on failure
        if (existing != u"none"_s) {
            const bool atRoot = existing == u"root"_s || existing == u"same"_s;
            recorded = QUrl::fromLocalFile(atRoot ? rootBundle() : otherBundle());
            previous = recorded->toLocalFile();
            if (existing == u"stranger"_s)
                copyBundleTree(path(u"build/other/Notes.app"_s), previous);
            else if (existing == u"same"_s)
                copyBundleTree(path(u"build/v2/Notes.app"_s), previous);
            else if (existing != u"gone"_s)
                copyBundleTree(path(u"build/v1/Notes.app"_s), previous);
        }
        const auto before =
            previous.isEmpty() ? QMap<QString, QByteArray>() : treeSnapshot(previous);

        AppInstaller subject = installer();
        const Outcome outcome = runInstall(subject, app, recorded);
        QCOMPARE(outcome.kind,
                 expected.startsWith(u'.') ? u"AppInstallerError"_s + expected : expected);
        noLeftovers();
        if (expected == u".checksumMismatch"_s)
            QCOMPARE(outcome.description, u"Checksum mismatch. Expected %1, got %2."_s.arg(
                                              QString(64, u'a'), rightDigest));
        // The fixed English texts speak of the system and the bundle, never of one platform.
        if (expected == u".unsupportedMacOS"_s)
            QCOMPARE(outcome.description, u"This app requires system version 14.1 or newer."_s);
        if (expected == u".appBundleNotFound"_s)
            QCOMPARE(outcome.description, u"The archive does not contain an app bundle."_s);
        // An update keeps the bundle it replaced, exactly as it was, when it held another version.
        const bool keeps =
            expected == u"ok"_s && (existing == u"root"_s || existing == u"elsewhere"_s);
        const std::optional<KeptCopy> kept = KeptCopies(path(u"kept"_s)).find(u"notes"_s);
        QCOMPARE(kept.has_value(), keeps);
        if (keeps) {
            QCOMPARE(kept->version, u"1.0.0"_s);
            QCOMPARE(relativeSnapshot(kept->bundlePath), relative(before, previous));
        }
        if (expected != u"ok"_s) {
            if (!previous.isEmpty())
                QCOMPARE(treeSnapshot(previous), before);
            if (existing != u"root"_s)
                QVERIFY(!entryExists(rootBundle()));
            return;
        }
        const QString destination = existing == u"elsewhere"_s ? otherBundle() : rootBundle();
        QCOMPARE(outcome.installed, (InstalledApp{QUrl::fromLocalFile(destination), u"2.0.0"_s}));
        QCOMPARE(loadInstalledBundleMetadata(outcome.installed->url).shortVersion, u"2.0.0"_s);
        validator_->validate(outcome.installed->url, kBundleID, u"2.0.0"_s);
        if (existing == u"stranger"_s)
            QCOMPARE(treeSnapshot(otherBundle()), before);
    }

    // A copy that fails its last check is taken away again and the previous install put back
    // exactly as it was; the hook sees the points of the swap in order.
    void failedFinalCheckRestores() {
        copyBundleTree(path(u"build/v1/Notes.app"_s), rootBundle());
        const auto before = treeSnapshot(rootBundle());
        QList<SwapPoint> seen;
        AppInstaller subject = installer([&](SwapPoint point) {
            seen.append(point);
            if (point == SwapPoint::movedIntoPlace)
                writeBytes(rootBundle() + u"/Contents/Resources/readme.txt"_s, "tampered");
        });
        const Outcome outcome =
            runInstall(subject, release(u"notes-2.zip"_s), QUrl::fromLocalFile(rootBundle()));
        QCOMPARE(outcome.kind, u"InstalledCodeValidationError.invalidSignature"_s);
        QCOMPARE(seen, (QList<SwapPoint>{SwapPoint::backupMoved, SwapPoint::movedIntoPlace}));
        QCOMPARE(treeSnapshot(rootBundle()), before);
        noLeftovers();
    }

    // Phases come in order, and the download's bytes only grow up to the announced length.
    void progress() {
        const qint64 size = QFileInfo(path(u"served/big.zip"_s)).size();
        QList<InstallProgress> heard;
        AppInstaller subject = installer();
        const Outcome outcome = runInstall(subject, release(u"big.zip"_s), std::nullopt,
                                           [&](const InstallProgress& p) { heard.append(p); });
        QCOMPARE(outcome.kind, u"ok"_s);
        using Phase = InstallProgress::Phase;
        QList<Phase> phases;
        qint64 received = 0;
        for (const InstallProgress& p : heard) {
            if (phases.isEmpty() || phases.last() != p.phase)
                phases.append(p.phase);
            if (p.phase != Phase::downloading)
                continue;
            QVERIFY(p.receivedBytes >= received);
            received = p.receivedBytes;
            if (p.receivedBytes > 0 && p.receivedBytes < size)
                QCOMPARE(p.totalBytes, std::optional(size));
        }
        QCOMPARE(phases, (QList<Phase>{Phase::downloading, Phase::checking, Phase::unpacking,
                                       Phase::validating, Phase::placing}));
        QCOMPARE(received, size);
    }

    // Cancels and broken input: a clear error, the previous install as it was, nothing left.
    void interrupted_data() {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("expected");
        QTest::newRow("cancel before") << u"cancel before"_s << u"CancelledError"_s;
        QTest::newRow("cancel while downloading") << u"cancel downloading"_s << u"CancelledError"_s;
        QTest::newRow("cancel while copying") << u"cancel copying"_s << u"CancelledError"_s;
        QTest::newRow("cancel once the swap began") << u"cancel swapping"_s << u"ok"_s;
        QTest::newRow("body cut short") << u"cut"_s << u"NetworkError"_s;
        QTest::newRow("work folder removed")
            << u"remove work"_s << u"AppInstallerError.extractionFailed"_s;
        QTest::newRow("install root cannot be made") << u"root"_s << u"FileError"_s;
    }

    void interrupted() {
        QFETCH(QString, what);
        QFETCH(QString, expected);
        copyBundleTree(path(u"build/v1/Notes.app"_s), rootBundle());
        const auto before = treeSnapshot(rootBundle());
        QFile zip(path(u"served/big.zip"_s));
        QVERIFY(zip.open(QIODevice::ReadOnly));
        RawServer server(answer(200, zip.readAll(), true, 100'000, what != u"cut"_s));
        AppManifestItem app = release(u"big.zip"_s);
        std::optional<QUrl> recorded = QUrl::fromLocalFile(rootBundle());
        if (what.startsWith(u"cancel d"_s) || what == u"cut"_s)
            app.downloadUrl = QUrl(u"http://127.0.0.1:%1/big.zip"_s.arg(server.serverPort()));
        CancellationToken token;
        if (what == u"cancel before"_s)
            token.cancel();
        InstallProgressSink sink = [&](const InstallProgress& p) {
            if ((what == u"cancel downloading"_s && p.receivedBytes > 0) ||
                (what == u"cancel copying"_s && p.phase == InstallProgress::Phase::placing))
                token.cancel();
            if (what == u"remove work"_s && p.phase == InstallProgress::Phase::unpacking) {
                const QStringList work =
                    QDir(path(u"tmp"_s)).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
                QCOMPARE(work.size(), 1);
                QVERIFY(QDir(path(u"tmp/"_s + work.first())).removeRecursively());
            }
        };
        QString root = path(u"root"_s);
        if (what == u"root"_s) {
            writeBytes(path(u"blocked"_s), "a file where a folder should be");
            root = path(u"blocked/Apps"_s);
            recorded.reset();
        }
        AppInstaller subject(sharedNetworkAccessManager(), root, validator_, system_,
                             {path(u"tmp"_s),
                              {},
                              [&](SwapPoint point) {
                                  if (what == u"cancel swapping"_s &&
                                      point == SwapPoint::backupMoved)
                                      token.cancel();
                              },
                              {}});
        const Outcome outcome = runInstall(subject, app, recorded, sink, token);
        QCOMPARE(outcome.kind, expected);
        QVERIFY(!outcome.description.isEmpty() || expected == u"ok"_s);
        noLeftovers();
        if (expected == u"ok"_s)
            QCOMPARE(loadInstalledBundleMetadata(*recorded).shortVersion, u"2.0.0"_s);
        else
            QCOMPARE(treeSnapshot(rootBundle()), before);
    }

    // The disk fills up while the staged copy is written: a clear error, the previous install
    // as it was, no partial copy. Needs a small file system of its own (mounting takes root).
    void fullDisk() {
        const QString small = path(u"small"_s);
        QVERIFY(QDir().mkpath(small));
        if (::mount("tmpfs", QFile::encodeName(small).constData(), "tmpfs", 0, "size=1m") != 0)
            QSKIP("no small file system can be mounted here (needs root)");
        const auto unmount =
            qScopeGuard([&] { ::umount2(QFile::encodeName(small).constData(), MNT_DETACH); });
        const QString bundle = small + u"/Notes.app"_s;
        copyBundleTree(path(u"build/v1/Notes.app"_s), bundle);
        const auto before = treeSnapshot(bundle);
        AppInstaller subject(sharedNetworkAccessManager(), small, validator_, system_,
                             {path(u"tmp"_s), {}, {}, {}});
        const Outcome outcome =
            runInstall(subject, release(u"big.zip"_s), QUrl::fromLocalFile(bundle));
        QCOMPARE(outcome.kind, u"FileError"_s);
        QVERIFY2(outcome.description.contains(u"No space left"_s), qPrintable(outcome.description));
        QCOMPARE(treeSnapshot(bundle), before);
        QCOMPARE(QDir(small).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList(u"Notes.app"_s));
        noLeftovers();
    }
};

NIMBARA_TEST_MAIN(TestInstaller)
#include "tst_installer.moc"
