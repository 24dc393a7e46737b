#include "install/app_installer.h"
#include "install/bundle_signature_validator.h"
#include "install/file_digest.h"
#include "platform/network_session.h"
#include "services/appcast.h"
#include "services/launcher_update_error.h"
#include "services/launcher_updater.h"
#include "support/dev_server_process.h"
#include "support/fake_collaborators.h"
#include "support/sample_bundle.h"
#include "support/temp_home.h"
#include "support/test_ca.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace nimbara;
using namespace nimbara::test;
using namespace Qt::StringLiterals;

namespace {

const QString kLauncherID = u"org.nimbara.launcher"_s;

// An appcast with the given <item> bodies.
QByteArray feed(const QStringList& items) {
    QString xml = u"<?xml version=\"1.0\"?>\n<rss version=\"2.0\" xmlns:sparkle=\"%1\" "
                  u"xmlns:nimbara=\"%2\"><channel><title>Nimbara</title>"_s.arg(
                      kSparkleNamespace, kNimbaraAppcastNamespace);
    for (const QString& item : items)
        xml += u"<item>"_s + item + u"</item>"_s;
    return (xml + u"</channel></rss>"_s).toUtf8();
}

QString enclosure(const QString& url, const QString& digest, const QString& extra = {}) {
    return u"<enclosure url=\"%1\" length=\"1\" nimbara:sha256=\"%2\" %3/>"_s.arg(url, digest,
                                                                                  extra);
}

QString item(const QString& version, const QString& url, const QString& digest,
             const QString& extra = {}) {
    return u"<sparkle:shortVersionString>%1</sparkle:shortVersionString>"_s.arg(version) +
           enclosure(url, digest) + extra;
}

const QString kDigest = QString(64, u'a');
const QString kURL = u"https://updates.example.com/Nimbara-2.0.0.zip"_s;

// Counts the requests an updater makes, so a test can show it made none.
class CountingNetwork : public QNetworkAccessManager {
public:
    int requests = 0;

protected:
    QNetworkReply* createRequest(Operation op, const QNetworkRequest& request,
                                 QIODevice* data) override {
        ++requests;
        return QNetworkAccessManager::createRequest(op, request, data);
    }
};

bool settled(const LauncherUpdater& updater) {
    const auto phase = updater.phase();
    return phase != LauncherUpdater::Phase::Checking && phase != LauncherUpdater::Phase::Installing;
}

} // namespace

// The launcher's own updates: the appcast, the checks against the development server, and
// installs of real signed launcher bundles.
class TestUpdater : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    std::unique_ptr<DevServerProcess> server_;
    CountingNetwork network_;
    std::shared_ptr<FakeSystemInformation> system_ = std::make_shared<FakeSystemInformation>();
    int relaunches_ = 0;
    QUrl relaunchedAt_;

    QString path(const QString& name) const { return dir_.filePath(name); }
    QString launcherBundle() const { return path(u"Applications/Nimbara.app"_s); }

    std::unique_ptr<LauncherUpdater> updater(std::optional<QString> feedURL,
                                             bool fromBundle = true) {
        LauncherUpdaterSettings settings;
        settings.feedURL = std::move(feedURL);
        settings.currentVersion = u"1.0.0"_s;
        settings.bundleIdentifier = kLauncherID;
        settings.bundleURL = QUrl::fromLocalFile(launcherBundle());
        settings.runsFromAppBundle = fromBundle;
        settings.firstCheckDelay = std::chrono::milliseconds(0);
        auto validator = std::make_shared<BundleSignatureValidator>(TestCA::team(),
                                                                    TestCA::shared().anchorsPem());
        auto installer =
            std::make_shared<AppInstaller>(network_, path(u"Applications"_s), validator, system_,
                                           AppInstallerOptions{path(u"tmp"_s), {}, {}, {}});
        LauncherUpdaterServices services{&network_, installer, system_, [this](const QUrl& at) {
                                             ++relaunches_;
                                             relaunchedAt_ = at;
                                         }};
        return std::make_unique<LauncherUpdater>(std::move(settings), std::move(services));
    }

    QString served(const QString& name) const { return path(u"served/"_s + name); }
    QString feedURL() const { return server_->url(u"/appcast.xml"_s).toString(); }

    void publishFeed(const QByteArray& xml) { writeBytes(served(u"appcast.xml"_s), xml); }

    // Signs a launcher bundle of `version` (by `identity`) and serves it zipped as `name`.
    QString publishRelease(const QString& version, const codesign::SigningIdentity& identity,
                           const QString& name, const QString& identifier = kLauncherID) {
        const QString build = path(u"build-"_s + name);
        QDir(build).removeRecursively();
        writeSignedBundle(build, identity, {u"Nimbara"_s, identifier, version, false});
        zipFolder(build + u"/Nimbara.app"_s, served(u"downloads/"_s + name));
        return sha256OfFile(served(u"downloads/"_s + name));
    }

    // Checks (and, when asked, installs) until the updater settles.
    void run(LauncherUpdater& updater, bool install) {
        if (updater.phase() == LauncherUpdater::Phase::Idle)
            updater.checkForUpdates();
        QTRY_VERIFY_WITH_TIMEOUT(settled(updater), 20'000);
        if (install && updater.phase() == LauncherUpdater::Phase::UpdateAvailable) {
            updater.installUpdate();
            QTRY_VERIFY_WITH_TIMEOUT(settled(updater), 30'000);
        }
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        QVERIFY(QDir().mkpath(served(u"downloads"_s)));
        server_ = std::make_unique<DevServerProcess>(served(QString()), path(u"db.sqlite"_s));
        QVERIFY2(server_->start(), qPrintable(server_->error()));
        writeSignedBundle(path(u"Applications"_s), TestCA::shared().developerID(),
                          {u"Nimbara"_s, kLauncherID, u"1.0.0"_s, false});
    }

    void init() {
        relaunches_ = 0;
        network_.requests = 0;
    }

    void readsTheFeed_data() {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<QStringList>("versions"); // the usable items; empty: an error
        QTest::addColumn<QString>("error");        // the error's kind, or the first skip reason

        QTest::newRow("element and attribute versions")
            << feed({item(u"1.1.0"_s, kURL, kDigest),
                     enclosure(kURL, kDigest.toUpper(),
                               u"sparkle:shortVersionString=\"1.2.0-beta.1\""_s)})
            << QStringList{u"1.1.0"_s, u"1.2.0-beta.1"_s} << QString();
        QTest::newRow("a bad item beside a good one")
            << feed({item(u"2.0"_s, kURL, kDigest), u"<title>no enclosure</title>"_s})
            << QStringList{u"2.0"_s} << u"item 2: it has no enclosure"_s;
        QTest::newRow("loopback http")
            << feed({item(u"2.0"_s, u"http://127.0.0.1:9/a.zip"_s, kDigest)})
            << QStringList{u"2.0"_s} << QString();
        QTest::newRow("no enclosure") << feed({u"<sparkle:shortVersionString>2.0"
                                               u"</sparkle:shortVersionString>"_s})
                                      << QStringList() << u"it has no enclosure"_s;
        QTest::newRow("no digest") << feed({u"<enclosure url=\"%1\" sparkle:shortVersionString="
                                            u"\"2.0\"/>"_s.arg(kURL)})
                                   << QStringList() << u"carries no SHA-256 digest"_s;
        QTest::newRow("short digest")
            << feed({item(u"2.0"_s, kURL, u"abc"_s)}) << QStringList() << u"is not a SHA-256"_s;
        QTest::newRow("garbage version") << feed({item(u"two point oh"_s, kURL, kDigest)})
                                         << QStringList() << u"is not a version number"_s;
        QTest::newRow("no version")
            << feed({enclosure(kURL, kDigest)}) << QStringList() << u"it has no version"_s;
        QTest::newRow("plain http to another host")
            << feed({item(u"2.0"_s, u"http://updates.example.com/a.zip"_s, kDigest)})
            << QStringList() << u"is not https"_s;
        QTest::newRow("unparsable minimum system")
            << feed({item(u"2.0"_s, kURL, kDigest,
                          u"<sparkle:minimumSystemVersion>new</sparkle:minimumSystemVersion>"_s)})
            << QStringList() << u"does not parse"_s;
        QTest::newRow("not XML") << QByteArray("{\"version\": \"2.0\"}") << QStringList()
                                 << u"malformedFeed"_s;
        QTest::newRow("not RSS") << QByteArray("<html><body/></html>") << QStringList()
                                 << u"malformedFeed"_s;
        QTest::newRow("cut short") << feed({item(u"2.0"_s, kURL, kDigest)}).chopped(10)
                                   << QStringList() << u"malformedFeed"_s;
        QTest::newRow("no items") << feed({}) << QStringList() << u"noUsableItem"_s;
    }

    void readsTheFeed() {
        QFETCH(QByteArray, document);
        QFETCH(QStringList, versions);
        QFETCH(QString, error);
        try {
            const Appcast appcast = parseAppcast(document);
            QStringList read;
            for (const AppcastItem& one : appcast.items) {
                read.append(one.version);
                QCOMPARE(one.sha256, kDigest.toLower());
            }
            QCOMPARE(read, versions);
            QCOMPARE(appcast.skipped.value(0), error);
        } catch (const LauncherUpdateError& failure) {
            QVERIFY2(versions.isEmpty(), qPrintable(failure.description()));
            QVERIFY2(failure.rendering().contains(error) || failure.description().contains(error),
                     qPrintable(failure.rendering()));
        }
    }

    void releaseNotesArePlainText() {
        const Appcast appcast = parseAppcast(feed({item(
            u"2.0"_s, kURL, kDigest,
            u"<description><![CDATA[<h2>What&#39;s new</h2><ul><li>Faster &amp; "
            u"<b>safer</b></li><li>&lt;tags&gt; stay text &amp;lt;</li></ul>"
            u"<img src=\"https://tracker.example.com/p.png\">]]></description>"
            u"<sparkle:releaseNotesLink>http://example.com/notes</sparkle:releaseNotesLink>"_s)}));
        QCOMPARE(appcast.items.first().releaseNotes,
                 u"What's new\n\u2022 Faster & safer\n\u2022 <tags> stay text &lt;"_s);
        QVERIFY(!appcast.items.first().releaseNotesURL); // plain http is not linked
    }

    void withoutAFeedNothingHappens_data() {
        QTest::addColumn<bool>("named");
        QTest::addColumn<QString>("feedURL");
        QTest::newRow("no feed") << false << QString();
        QTest::newRow("blank feed") << true << u" \t\n "_s;
    }

    void withoutAFeedNothingHappens() {
        QFETCH(bool, named);
        QFETCH(QString, feedURL);
        const auto disabled = updater(named ? std::optional(feedURL) : std::nullopt);
        disabled->checkForUpdates();
        QTest::qWait(100); // the first scheduled check would be due at once
        QVERIFY(!disabled->isEnabled());
        QVERIFY(!disabled->canCheckForUpdates());
        QCOMPARE(disabled->phase(), LauncherUpdater::Phase::Idle);
        QCOMPARE(network_.requests, 0);
    }

    void checksTheFeed_data() {
        QTest::addColumn<QByteArray>("document"); // empty: no appcast.xml at all
        QTest::addColumn<LauncherUpdater::Phase>("outcome");
        QTest::addColumn<QString>("detail"); // the offered version, or part of the failure

        const QString runnable =
            u"<sparkle:minimumSystemVersion>14.5</sparkle:minimumSystemVersion>"_s;
        const QString tooNew =
            u"<sparkle:minimumSystemVersion>14.6</sparkle:minimumSystemVersion>"_s;
        QTest::newRow("older") << feed({item(u"0.9.0"_s, kURL, kDigest)})
                               << LauncherUpdater::Phase::UpToDate << QString();
        QTest::newRow("equal") << feed({item(u"1.0"_s, kURL, kDigest)})
                               << LauncherUpdater::Phase::UpToDate << QString();
        QTest::newRow("newer, the newest of several")
            << feed({item(u"1.1.0"_s, kURL, kDigest), item(u"1.10.0"_s, kURL, kDigest, runnable),
                     item(u"1.2.0"_s, kURL, kDigest)})
            << LauncherUpdater::Phase::UpdateAvailable << u"1.10.0"_s;
        QTest::newRow("the newest needs a newer system")
            << feed({item(u"3.0.0"_s, kURL, kDigest, tooNew), item(u"1.5.0"_s, kURL, kDigest)})
            << LauncherUpdater::Phase::UpdateAvailable << u"1.5.0"_s;
        QTest::newRow("only a release for a newer system")
            << feed({item(u"3.0.0"_s, kURL, kDigest, tooNew)}) << LauncherUpdater::Phase::UpToDate
            << QString();
        QTest::newRow("missing feed")
            << QByteArray() << LauncherUpdater::Phase::CheckFailed << u"HTTP status 404"_s;
        QTest::newRow("empty feed") << QByteArray(" \n") << LauncherUpdater::Phase::CheckFailed
                                    << u"The update feed is empty."_s;
        QTest::newRow("over 1 MiB")
            << feed({item(u"2.0"_s, kURL, kDigest,
                          u"<description>"_s + QString(1024 * 1024, u'x') + u"</description>"_s)})
            << LauncherUpdater::Phase::CheckFailed << u"larger than 1 MiB"_s;
        QTest::newRow("malformed") << QByteArray("<rss><channel><item>")
                                   << LauncherUpdater::Phase::CheckFailed << u"could not be read"_s;
    }

    void checksTheFeed() {
        QFETCH(QByteArray, document);
        QFETCH(LauncherUpdater::Phase, outcome);
        QFETCH(QString, detail);
        QFile::remove(served(u"appcast.xml"_s));
        if (!document.isEmpty())
            publishFeed(document);
        const auto checking = updater(feedURL());
        QSignalSpy phases(checking.get(), &LauncherUpdater::phaseChanged);
        QTRY_COMPARE(phases.count(), 2); // the check at start shows only an update it finds
        QCOMPARE(checking->showingDialog(), outcome == LauncherUpdater::Phase::UpdateAvailable);
        checking->dismiss();

        QSignalSpy canCheck(checking.get(), &LauncherUpdater::canCheckForUpdatesChanged);
        checking->checkForUpdates();
        QVERIFY(!checking->canCheckForUpdates());
        QVERIFY(checking->showingDialog());
        QTRY_VERIFY(settled(*checking));
        QCOMPARE(checking->phase(), outcome);
        QCOMPARE(canCheck.count(), 2);
        QVERIFY(checking->canCheckForUpdates());
        if (outcome == LauncherUpdater::Phase::CheckFailed)
            QVERIFY2(checking->failureReason().contains(detail),
                     qPrintable(checking->failureReason()));
        else
            QCOMPARE(checking->offeredVersion(), detail);
    }

    void installsOnlyAGoodUpdate_data() {
        QTest::addColumn<QString>("problem");
        QTest::addColumn<QString>("reason");
        QTest::newRow("wrong digest") << u"digest"_s << u"Checksum mismatch"_s;
        QTest::newRow("another team") << u"team"_s << u"signed by a team Nimbara does not trust"_s;
        QTest::newRow("another app") << u"identifier"_s << u"identifier"_s;
        QTest::newRow("not in a bundle") << u"bundle"_s << u"does not run from an app bundle"_s;
        QTest::newRow("a good update, last: it replaces the bundle") << QString() << QString();
    }

    // A good update replaces the launcher's bundle and relaunches once; a bad one is refused with
    // its reason and leaves the bundle byte for byte as it was.
    void installsOnlyAGoodUpdate() {
        QFETCH(QString, problem);
        QFETCH(QString, reason);
        const auto& ca = TestCA::shared();
        QString digest;
        if (problem == u"team"_s) {
            digest =
                publishRelease(u"2.0.0"_s, ca.identity(ca.hierarchy().otherTeamLeaf), u"bad.zip"_s);
        } else if (problem == u"identifier"_s) {
            digest =
                publishRelease(u"2.0.0"_s, ca.developerID(), u"bad.zip"_s, u"org.example.other"_s);
        } else {
            digest = publishRelease(u"2.0.0"_s, ca.developerID(), u"bad.zip"_s);
        }
        if (problem == u"digest"_s)
            digest = QString(64, u'0');
        publishFeed(
            feed({item(u"2.0.0"_s, server_->url(u"/downloads/bad.zip"_s).toString(), digest)}));
        const auto before = treeSnapshot(path(u"Applications"_s));

        const auto refusing = updater(feedURL(), problem != u"bundle"_s);
        run(*refusing, true);
        if (problem.isEmpty()) {
            QCOMPARE(refusing->phase(), LauncherUpdater::Phase::Relaunching);
            QCOMPARE(bundleVersionAt(launcherBundle()), u"2.0.0"_s);
            QCOMPARE(relaunches_, 1);
            QCOMPARE(relaunchedAt_, QUrl::fromLocalFile(launcherBundle()));
            QCOMPARE(installLeftovers(path(u"Applications"_s)), QStringList());
            QVERIFY(!refusing->canCheckForUpdates());
            return;
        }
        QCOMPARE(refusing->phase(), LauncherUpdater::Phase::InstallFailed);
        QVERIFY2(refusing->failureReason().contains(reason), qPrintable(refusing->failureReason()));
        QCOMPARE(treeSnapshot(path(u"Applications"_s)), before);
        QCOMPARE(relaunches_, 0);
        QVERIFY(refusing->canCheckForUpdates());
    }
};

NIMBARA_TEST_MAIN(TestUpdater)
#include "tst_updater.moc"
