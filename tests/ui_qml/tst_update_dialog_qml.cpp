// The launcher's own update in the real main window: the window menu's check, the dialog's
// answers (an offer, up to date, a failure, an install that fails) and closing it by keyboard.

#include "platform/network_session.h"
#include "qml_harness.h"
#include "support/catalog_samples.h"
#include "support/dev_server_process.h"
#include "support/sample_bundle.h"
#include "support/test_registry.h"
#include "text/nimbara_copy.h"

#include <QDir>
#include <QQuickItem>
#include <QTemporaryDir>
#include <QTest>

using namespace nimbara;
using namespace nimbara::test;
using namespace Qt::StringLiterals;

namespace {

QByteArray feedOffering(const QString& version) {
    return u"<rss version=\"2.0\" xmlns:sparkle=\"http://www.andymatuschak.org/xml-namespaces/"
           u"sparkle\" xmlns:nimbara=\"urn:nimbara:appcast:1\"><channel><item>"
           u"<sparkle:shortVersionString>%1</sparkle:shortVersionString>"
           u"<description>&lt;ul&gt;&lt;li&gt;Faster installs&lt;/li&gt;&lt;/ul&gt;</description>"
           u"<enclosure url=\"https://updates.example.com/n.zip\" nimbara:sha256=\"%2\"/>"
           u"</item></channel></rss>"_s.arg(version, QString(64, u'a'))
               .toUtf8();
}

QString textOf(const QmlLauncher& launcher, const QString& objectName) {
    QQuickItem* found = launcher.item(objectName);
    return found && found->isVisible() ? found->property("text").toString() : QString();
}

bool visible(const QmlLauncher& launcher, const QString& objectName) {
    QQuickItem* found = launcher.item(objectName);
    return found && found->isVisible();
}

} // namespace

class TestUpdateDialogQml : public QmlTest {
    Q_OBJECT

    QTemporaryDir dir_;
    std::unique_ptr<DevServerProcess> server_;

    std::unique_ptr<LauncherUpdater> updater() {
        LauncherUpdaterSettings settings;
        settings.feedURL = server_->url(u"/appcast.xml"_s).toString();
        settings.currentVersion = u"1.0.0"_s;
        settings.bundleIdentifier = u"org.nimbara.launcher"_s;
        settings.firstCheckDelay = std::chrono::hours(1); // only the user's checks here
        return std::make_unique<LauncherUpdater>(
            std::move(settings), LauncherUpdaterServices{&sharedNetworkAccessManager(),
                                                         nullptr,
                                                         std::make_shared<FakeSystemInformation>(),
                                                         {}});
    }

    // Chooses Check for Updates in the window's menu.
    static void checkFromTheMenu(const QmlLauncher& launcher) {
        launcher.click(launcher.item(u"topMenuButton"_s));
        QQuickItem* check = launcher.item(u"checkForUpdatesButton"_s);
        QVERIFY(check && check->isVisible());
        QVERIFY(check->isEnabled());
        launcher.click(check);
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        server_ = std::make_unique<DevServerProcess>(dir_.path(), dir_.filePath(u"db.sqlite"_s));
        QVERIFY2(server_->start(), qPrintable(server_->error()));
    }

    // Without a feed the menu's item is there and disabled.
    void noFeedNoCheck() {
        QmlLauncher launcher(catalogWith({publishedApp(u"alpha"_s)}));
        QVERIFY(launcher.shown());
        launcher.click(launcher.item(u"topMenuButton"_s));
        QQuickItem* check = launcher.item(u"checkForUpdatesButton"_s);
        QVERIFY(check && check->isVisible());
        QVERIFY(!check->isEnabled());
    }

    void answersTheCheck_data() {
        QTest::addColumn<QByteArray>("feed"); // empty: the server has none
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focused"); // the button that has the keyboard
        QTest::newRow("an update")
            << feedOffering(u"2.0.0"_s)
            << english(CopyKey::updateAvailableTitle, {{u"version"_s, u"2.0.0"_s}})
            << english(CopyKey::updateAvailableBody, {{u"installed"_s, u"1.0.0"_s}})
            << u"updateInstallButton"_s;
        QTest::newRow("up to date")
            << feedOffering(u"1.0.0"_s) << english(CopyKey::updateUpToDateTitle)
            << english(CopyKey::updateUpToDateBody, {{u"version"_s, u"1.0.0"_s}})
            << u"updateCloseButton"_s;
        QTest::newRow("no feed on the server")
            << QByteArray() << english(CopyKey::menuCheckForUpdates)
            << english(CopyKey::updateCheckFailed,
                       {{u"reason"_s, u"The update feed answered with HTTP status 404."_s}})
            << u"updateCloseButton"_s;
    }

    // The check the user chose shows its answer with the keyboard on the answer's button, and
    // Escape closes it.
    void answersTheCheck() {
        QFETCH(QByteArray, feed);
        QFETCH(QString, title);
        QFETCH(QString, message);
        QFETCH(QString, focused);
        QFile::remove(dir_.filePath(u"appcast.xml"_s));
        if (!feed.isEmpty())
            writeBytes(dir_.filePath(u"appcast.xml"_s), feed);
        if (feed.isEmpty())
            expectWarning(u"update check failed"_s);
        const auto checking = updater();
        QmlLauncher launcher(catalogWith({publishedApp(u"alpha"_s)}), true, false, checking.get());
        QVERIFY(launcher.shown());

        checkFromTheMenu(launcher);
        QTRY_VERIFY(checking->phase() != LauncherUpdater::Phase::Checking);
        QTRY_VERIFY(visible(launcher, u"updateLayer"_s));
        launcher.settle();
        QCOMPARE(textOf(launcher, u"updateTitle"_s), title);
        QCOMPARE(textOf(launcher, u"updateMessage"_s), message);
        QCOMPARE(launcher.focusedName(), focused);
        QCOMPARE(textOf(launcher, u"updateReleaseNotes"_s),
                 focused == u"updateInstallButton"_s ? u"\u2022 Faster installs"_s : QString());

        launcher.key(Qt::Key_Escape);
        QTRY_VERIFY(!visible(launcher, u"updateLayer"_s));
        QCOMPARE(checking->phase(), LauncherUpdater::Phase::Idle);
    }

    // Installing from a launcher that does not run from a bundle fails with the reason, and the
    // dialog stays up to say so until it is closed.
    void showsAFailedInstall() {
        writeBytes(dir_.filePath(u"appcast.xml"_s), feedOffering(u"2.0.0"_s));
        expectWarning(u"update install failed"_s);
        const auto installing = updater();
        QmlLauncher launcher(catalogWith({publishedApp(u"alpha"_s)}), true, false,
                             installing.get());
        QVERIFY(launcher.shown());
        checkFromTheMenu(launcher);
        QTRY_COMPARE(launcher.focusedName(), u"updateInstallButton"_s);
        launcher.key(Qt::Key_Return);
        QTRY_COMPARE(installing->phase(), LauncherUpdater::Phase::InstallFailed);
        launcher.settle();
        QVERIFY(textOf(launcher, u"updateMessage"_s)
                    .startsWith(
                        english(CopyKey::updateInstallFailed, {{u"reason"_s, u"This copy"_s}})));
        QCOMPARE(launcher.focusedName(), u"updateCloseButton"_s);
        launcher.key(Qt::Key_Return);
        QTRY_VERIFY(!visible(launcher, u"updateLayer"_s));
    }
};

NIMBARA_REGISTER_TEST(TestUpdateDialogQml);

#include "tst_update_dialog_qml.moc"
