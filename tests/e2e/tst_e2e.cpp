// The launcher as its users meet it: the production wiring over the real development server,
// the demo family's real archives and signatures, a temporary home, and the real executable.
#include "code_signing.h"
#include "e2e_world.h"
#include "install/installed_code_validation_error.h"
#include "platform/linux_app_workspace.h"
#include "platform/preferences_store.h"
#include "services/user_defaults_login_item_preference_store.h"
#include "services/xdg_autostart_login_item_adapter.h"
#include "support/sample_bundle.h"
#include "vnc_keyboard.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTcpServer>
#include <QTest>

using namespace nimbara;
using namespace nimbara::test;
using namespace Qt::StringLiterals;

namespace {

// Generous guard against a hung install or process; nothing depends on how fast anything is.
constexpr int kGuardMs = 60000;

// Waits until `condition` holds, at most the guard time (without the retry a QTRY macro makes
// after its time has run out).
template <typename Condition> bool eventually(Condition condition) {
    return QTest::qWaitFor(condition, kGuardMs);
}

QString installRoot() {
    return LinuxAppWorkspace::defaultInstallRoot();
}

QString trashed(const QString& name) {
    return qEnvironmentVariable("XDG_DATA_HOME") + u"/Trash/files/"_s + name;
}

// "valid", or why the validator refuses the bundle at `path`.
QString verdict(InstalledCodeValidating& validator, const QString& path,
                const AppManifestItem& app) {
    try {
        validator.validate(QUrl::fromLocalFile(path), app.bundleId, app.version);
        return u"valid"_s;
    } catch (const std::exception& error) {
        return errorDescription(error);
    }
}

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The Lumen Notes 1.5.0 bundle sealed again by the development CA's other team, zipped over the
// served archive; the catalog names the new archive's digest.
void sealByTheOtherTeam(E2eWorld& world, const QString& workFolder) {
    const QString caDir = demoDir() + u"/dev-ca/"_s;
    const QString bundle = workFolder + u"/Lumen Notes.app"_s;
    const QString original = demoDir() + u"/bundles/lumen-notes-1.5.0/Lumen Notes.app"_s;
    QVERIFY(QProcess::execute(u"cp"_s, {u"-a"_s, original, workFolder}) == 0);
    codesign::signBundle(bundle, u"com.nimbara.lumen-notes"_s,
                         {contentOf(caDir + u"other-team-leaf-key.pem"_s),
                          contentOf(caDir + u"other-team-leaf.pem"_s),
                          contentOf(caDir + u"intermediate.pem"_s)});
    const QString archive = world.served(u"downloads/lumen-notes-1.5.0.zip"_s);
    QFile::remove(archive);
    zipFolder(bundle, archive);
    const QString digest = QString::fromLatin1(
        QCryptographicHash::hash(contentOf(archive), QCryptographicHash::Sha256).toHex());
    world.editServedApp(u"lumen-notes"_s,
                        [&](QJsonObject& app) { app.insert(u"sha256"_s, digest); });
}

// Reads the launcher's standard output until a line starts with `prefix`.
bool waitForLine(QProcess& process, const QString& prefix, QString& output) {
    const auto found = [&] {
        output += QString::fromUtf8(process.readAllStandardOutput());
        return output.startsWith(prefix) || output.contains(u'\n' + prefix);
    };
    while (!found()) {
        if (process.state() == QProcess::NotRunning || !process.waitForReadyRead(kGuardMs))
            return found();
    }
    return true;
}

quint16 freePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

} // namespace

class TestE2e : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Two apps ticked during onboarding are installed, sealed by the trusted team; opening them
    // starts them; removing them quits them and puts them into the Trash.
    void onboardingInstallsOpensAndRemoves() {
        E2eWorld world;
        QVERIFY2(world.problem().isEmpty(), qPrintable(world.problem()));
        LauncherStore& store = world.startStore();
        QVERIFY(store.requiresOnboarding());
        const QStringList ticked{u"lumen-notes"_s, u"palette-picker"_s};
        for (const QString& id : ticked)
            store.toggleStarterSelection(world.app(id));
        store.finishOnboarding();
        QVERIFY(store.onboardingComplete());

        QHash<QString, QString> bundles;
        for (const QString& id : ticked) {
            QVERIFY(eventually(
                [&] { return store.state(id).kind() == AppInstallState::Case::installed; }));
            const QString path = store.installedAppURLs().value(id).toLocalFile();
            QCOMPARE(QFileInfo(path).absolutePath(), installRoot());
            QCOMPARE(verdict(world.validator(), path, world.app(id)), u"valid"_s);
            bundles.insert(id, path);
            store.open(world.app(id));
            QVERIFY(eventually([&] { return !runningApp(world.app(id).bundleId).isEmpty(); }));
        }
        QCOMPARE(store.state(u"tidy-clipboard"_s).kind(), AppInstallState::Case::notInstalled);

        for (const QString& id : ticked) {
            QVERIFY2(!runningApp(world.app(id).bundleId).isEmpty(), "the app did not keep running");
            QCOMPARE(E2eWorld::await(store.uninstall(id, false)), QString());
            QVERIFY(runningApp(world.app(id).bundleId).isEmpty());
            QVERIFY(!QFileInfo::exists(bundles.value(id)));
            QVERIFY(QFileInfo::exists(trashed(QFileInfo(bundles.value(id)).fileName())));
            QCOMPARE(store.state(id).kind(), AppInstallState::Case::notInstalled);
        }
        QCOMPARE(store.errorMessage(), std::nullopt);
    }

    // Removing everything trashes the apps and the launcher, forgets every launcher preference
    // but the launch-at-login wish (now false), removes the autostart entry and quits.
    void uninstallEverythingLeavesOnlyTheWish() {
        E2eWorld world;
        QVERIFY2(world.problem().isEmpty(), qPrintable(world.problem()));
        {
            PreferencesStore before(PreferencesStore::defaultPath());
            before.setBool(u"nimbara.fromAnEarlierVersion"_s, true);
            before.setBool(u"elsewhere.kept"_s, true);
        }
        LauncherStore& store = world.startStore();
        QVERIFY(world.install(u"tidy-clipboard"_s));
        store.setLaunchAtLoginDesired(true);
        QVERIFY(QFileInfo::exists(XdgAutostartLoginItemAdapter::entryPath()));

        QCOMPARE(E2eWorld::await(store.uninstallEverythingAndRemoveNimbara(false)), QString());
        QCOMPARE(store.errorMessage(), std::nullopt);
        QCOMPARE(world.quits, 1);
        QVERIFY(!QFileInfo::exists(XdgAutostartLoginItemAdapter::entryPath()));
        QVERIFY(QFileInfo::exists(trashed(u"Tidy Clipboard.app"_s)));
        QVERIFY(QFileInfo::exists(trashed(u"Nimbara.app"_s)));
        QVERIFY(!QFileInfo::exists(world.launcherBundle));

        const PreferencesStore after(PreferencesStore::defaultPath());
        const QString wish = QString::fromLatin1(UserDefaultsLoginItemPreferenceStore::kDesiredKey);
        QCOMPARE(after.keys().filter(QRegularExpression(u"^nimbara\\."_s)), QStringList{wish});
        QCOMPARE(after.objectForKey(wish), std::optional(PreferenceValue::boolean(false)));
        QVERIFY(after.boolForKey(u"elsewhere.kept"_s));
    }

    // A feedback report is stored by the server, with its app.
    void feedbackArrives() {
        E2eWorld world;
        QVERIFY2(world.problem().isEmpty(), qPrintable(world.problem()));
        LauncherStore& store = world.startStore();
        QCOMPARE(E2eWorld::await(store.submitFeedback(FeedbackType::bug, u"Notes vanish"_s,
                                                      u"After a restart"_s, u"lumen-notes"_s)),
                 QString());
        QCOMPARE(store.feedbackState().kind, FeedbackSubmissionState::Case::submitted);
        const QJsonArray reports = world.listed(u"/api/feedback"_s, u"reports"_s);
        QCOMPARE(reports.size(), 1);
        QCOMPARE(reports.at(0)[u"title"_s].toString(), u"Notes vanish"_s);
        QCOMPARE(reports.at(0)[u"appId"_s].toString(), u"lumen-notes"_s);
    }

    void updateReplacesOrKeepsTheInstall_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("says");
        QTest::addColumn<bool>("reported"); // reaches the error store (the server still runs)
        QTest::newRow("a good update") << u"none"_s << QString() << false;
        QTest::newRow("server killed during the download")
            << u"kill"_s << u"Connection closed"_s << false;
        QTest::newRow("digest does not match the archive")
            << u"digest"_s << u"Checksum mismatch."_s << true;
        QTest::newRow("sealed by another team")
            << u"other team"_s << u"signed by a team Nimbara does not trust"_s << true;
    }

    // A newer release served later is offered as an update. A good one replaces the installed
    // copy in place, and can be rolled back; one that cannot be installed says why and leaves the
    // installed copy as it was, and with a DSN set the failure reaches the error store.
    void updateReplacesOrKeepsTheInstall() {
        QFETCH(QString, fault);
        QFETCH(QString, says);
        QFETCH(bool, reported);
        E2eWorld world;
        QVERIFY2(world.problem().isEmpty(), qPrintable(world.problem()));
        LauncherStore& store = world.startStore();
        const QString id = u"lumen-notes"_s;
        QVERIFY(world.install(id));
        const QString path = store.installedAppURLs().value(id).toLocalFile();
        const auto installed = treeSnapshot(path);

        world.serve(u"catalog-update"_s);
        QTemporaryDir work;
        if (fault == u"kill"_s) {
            // Far more than the sockets between them hold: the server dies mid-transfer.
            QFile archive(world.served(u"downloads/lumen-notes-1.5.0.zip"_s));
            QVERIFY(archive.resize(qint64(512) << 20));
            QObject::connect(&store, &LauncherStore::runningInstallsChanged, &store, [&] {
                const auto transfer = store.installTransfer(id);
                if (world.server() && transfer && transfer->receivedBytes > 0)
                    world.killServer();
            });
        } else if (fault == u"digest"_s) {
            world.editServedApp(
                id, [](QJsonObject& app) { app.insert(u"sha256"_s, QString(64, u'0')); });
        } else if (fault == u"other team"_s) {
            sealByTheOtherTeam(world, work.path());
        }
        QCOMPARE(E2eWorld::await(store.loadManifest()), QString());
        QCOMPARE(store.state(id).kind(), AppInstallState::Case::updateAvailable);

        if (fault == u"none"_s) {
            QVERIFY(world.install(id));
            QCOMPARE(store.installedAppURLs().value(id).toLocalFile(), path);
            QCOMPARE(bundleVersionAt(path), u"1.5.0"_s);
            QCOMPARE(verdict(world.validator(), path, world.app(id)), u"valid"_s);
            QCOMPARE(installLeftovers(installRoot()), QStringList());
            QCOMPARE(store.errorMessage(), std::nullopt);
            // 1.4.2 was kept, and goes back in place; the catalog's 1.5.0 is offered again.
            QTRY_COMPARE(store.rollbackVersion(id), std::optional(u"1.4.2"_s));
            QVERIFY(QCoro::waitFor(store.rollBack(id)));
            QCOMPARE(treeSnapshot(path), installed);
            QCOMPARE(store.state(id).kind(), AppInstallState::Case::updateAvailable);
            return;
        }
        QVERIFY(!world.install(id));
        QCOMPARE(store.state(id).kind(), AppInstallState::Case::failed);
        const QString message = store.errorMessage().value_or(QString());
        QVERIFY2(message.startsWith(u"Could not install Lumen Notes."_s) && message.contains(says),
                 qPrintable(message));
        QCOMPARE(world.server() != nullptr, reported);
        QCOMPARE(store.installedAppURLs().value(id).toLocalFile(), path);
        QCOMPARE(treeSnapshot(path), installed);
        QCOMPARE(installLeftovers(installRoot()), QStringList());
        if (reported) {
            QJsonArray events;
            QVERIFY(eventually([&] {
                events = world.listed(u"/api/42/store/"_s, u"events"_s);
                return !events.isEmpty();
            }));
            const QJsonObject event = events.at(0)[u"event"_s].toObject();
            QCOMPARE(event[u"extra"_s][u"app"_s].toString(), id);
            QVERIFY2(event[u"message"_s].toString().contains(says),
                     qPrintable(event[u"message"_s].toString()));
        }
    }

    // The real launcher, typed into over its VNC platform: Ctrl+K, the app's name and Return
    // install the app the quick switcher found.
    void quickSwitcherInTheRealLauncherInstalls() {
        E2eWorld world;
        QVERIFY2(world.problem().isEmpty(), qPrintable(world.problem()));
        PreferencesStore(PreferencesStore::defaultPath())
            .setBool(u"nimbara.onboardingComplete"_s, true);
        const quint16 port = freePort();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"QT_QPA_PLATFORM"_s, u"vnc:size=1060x720:port=%1"_s.arg(port));
        environment.insert(u"QT_QUICK_BACKEND"_s, u"software"_s);
        environment.insert(u"NIMBARA_REPORT_STARTUP"_s, u"1"_s);
        environment.insert(u"NIMBARA_MANIFEST_URL"_s,
                           world.server()->url(u"/api/launcher/manifest"_s).toString());
        environment.insert(u"NIMBARA_API_URL"_s, world.server()->url(QString()).toString());
        QProcess launcher;
        launcher.setProcessEnvironment(environment);
        launcher.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        launcher.start(
            QDir(qEnvironmentVariable("NIMBARA_BUILD_DIR")).filePath(u"src/ui/nimbara"_s), {});
        QVERIFY2(launcher.waitForStarted(kGuardMs), qPrintable(launcher.errorString()));
        QString output;
        QVERIFY2(waitForLine(launcher, u"catalog-loaded-ms:"_s, output), qPrintable(output));

        VncKeyboard keyboard;
        QVERIFY2(keyboard.connect(port), qPrintable(keyboard.problem()));
        keyboard.press('k', true);
        keyboard.type(u"lumen"_s);
        keyboard.press(VncKeyboard::kReturn);

        const QString bundle = installRoot() + u"/Lumen Notes.app"_s;
        QVERIFY(eventually([&] { return bundleVersionAt(bundle) == u"1.4.2"_s; }));
        launcher.kill();
        launcher.waitForFinished(kGuardMs);
    }
};

NIMBARA_TEST_MAIN(TestE2e)
#include "tst_e2e.moc"
