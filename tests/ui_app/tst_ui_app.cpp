// The application's own wiring: where production collaborators point, that a validator without
// a signing team trusts nothing, that the first start registers the launcher to start at login,
// and that one preferences folder has one launcher.
#include "catalog/manifest_coding.h"
#include "catalog/seed_manifest.h"
#include "install/app_installer.h"
#include "install/app_uninstaller.h"
#include "install/installed_code_validation_error.h"
#include "nimbara/signing_configuration.h"
#include "platform/preferences_store.h"
#include "services/http_event_sink.h"
#include "services/remote_feedback_client.h"
#include "services/remote_manifest_client.h"
#include "services/xdg_autostart_login_item_adapter.h"
#include "support/catalog_samples.h"
#include "support/dev_server_process.h"
#include "support/temp_home.h"
#include "support/test_files.h"
#include "ui/startup_sequence.h"
#include "wiring/production_wiring.h"
#include "wiring/single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QNetworkAccessManager>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <unistd.h>

using namespace nimbara;
using namespace nimbara::test;

namespace {

// Generous guards against a hung process; nothing here depends on how fast anything is.
constexpr int kWaitMs = 60000;

QString launcherExecutable() {
    return QDir(qEnvironmentVariable("NIMBARA_BUILD_DIR")).filePath(u"src/ui/nimbara"_qs);
}

// Reads standard output until `count` lines starting with `prefix` have arrived; false when the
// process ended or the guard ran out first. Everything read is kept in `output`.
bool waitForLines(QProcess& process, const QString& prefix, QString& output, int count = 1) {
    const auto found = [&] {
        output += QString::fromUtf8(process.readAllStandardOutput());
        return output.split(u'\n')
                   .filter(QRegularExpression(u"^"_qs + QRegularExpression::escape(prefix)))
                   .size() >= count;
    };
    while (!found()) {
        if (process.state() == QProcess::NotRunning || !process.waitForReadyRead(kWaitMs)) {
            return found();
        }
    }
    return true;
}

} // namespace

class TestUiApp : public QObject {
    Q_OBJECT

    QNetworkAccessManager network_;

private Q_SLOTS:
    void productionWiringUsesConfiguredEndpoints() {
        qputenv("NIMBARA_MANIFEST_URL", "http://127.0.0.1:4510/catalog/manifest.json?channel=demo");
        qputenv("NIMBARA_API_URL", "http://127.0.0.1:4511/service/");
        const LauncherStoreWiring wiring = productionWiring(network_);
        qunsetenv("NIMBARA_MANIFEST_URL");
        qunsetenv("NIMBARA_API_URL");

        const auto* catalog = dynamic_cast<RemoteManifestClient*>(wiring.manifestLoader.get());
        QVERIFY(catalog);
        QCOMPARE(catalog->endpoint(),
                 QUrl(u"http://127.0.0.1:4510/catalog/manifest.json?channel=demo"_qs));
        QCOMPARE(&catalog->session(), &network_);

        const auto* feedback = dynamic_cast<RemoteFeedbackClient*>(wiring.feedbackClient.get());
        QVERIFY(feedback);
        QCOMPARE(feedback->baseURL(), QUrl(u"http://127.0.0.1:4511/service/"_qs));

        QVERIFY(dynamic_cast<AppInstaller*>(wiring.installer.get()));
        QVERIFY(dynamic_cast<AppUninstaller*>(wiring.uninstaller.get()));

        const auto* events = dynamic_cast<HttpOperationalEventSink*>(wiring.eventSink.get());
        QVERIFY(events);
        QCOMPARE(events->endpoint(), QUrl(u"http://127.0.0.1:4511/service/api/launcher/events"_qs));

        QVERIFY(wiring.userDefaults);
        QCOMPARE(wiring.userDefaults->filePath(), PreferencesStore::defaultPath());
        QVERIFY(
            wiring.userDefaults->filePath().startsWith(qEnvironmentVariable("XDG_CONFIG_HOME")));
        QCOMPARE(wiring.manifest, SeedManifest::manifest());
        QVERIFY(!wiring.loadStoredStateSynchronously);
    }

    // The wiring's validator trusts nothing it cannot check: without a configured signing team it
    // fails before it reads a file; with one, a bundle that does not exist is unreadable.
    void validatorTrustsNothingItCannotCheck() {
        const bool teamConfigured = !QByteArrayView(signing_configuration::kTeamID).isEmpty();
        const auto expected = teamConfigured
                                  ? InstalledCodeValidationError::Case::unreadableBundle
                                  : InstalledCodeValidationError::Case::missingTeamIDConfiguration;
        try {
            productionWiring(network_).installedCodeValidator->validate(
                QUrl::fromLocalFile(QDir::tempPath() + u"/Missing.app"_qs), u"com.nimbara.notes"_qs,
                u"1.0.0"_qs);
            QFAIL("the bundle was trusted");
        } catch (const InstalledCodeValidationError& error) {
            QCOMPARE(error.kind(), expected);
        }
    }

    void windowSizeParsing() {
        QCOMPARE(parseWindowSize(u"1060x720"_qs), std::optional(QSize(1060, 720)));
        QCOMPARE(parseWindowSize(u"0x720"_qs), std::nullopt);
        QCOMPARE(parseWindowSize(u"1060"_qs), std::nullopt);
        QCOMPARE(parseWindowSize(u"1060x720x3"_qs), std::nullopt);
    }

    void leftoverLocksDoNotBlock_data() {
        QTest::addColumn<QString>("place");
        QTest::addColumn<QByteArray>("content");
        // "runtime lock" is where earlier versions kept a lock file (process id, name, host).
        QTest::newRow("earlier version's runtime lock")
            << u"runtime lock"_qs << QByteArray("4242\nnimbara\nelsewhere.example\n");
        QTest::newRow("garbage lock beside the preferences")
            << u".lock"_qs << QByteArray("\xff\n7");
        QTest::newRow("socket file of a dead launcher") << u"socket"_qs << QByteArray("junk");
        // A lock that cannot be taken at all does not keep the launcher from running.
        QTest::newRow("folder in the lock's place") << u".lock folder"_qs << QByteArray();
    }

    // Whatever a crashed or foreign launcher left behind, the next launch runs, listens for later
    // ones and leaves the preferences alone.
    void leftoverLocksDoNotBlock() {
        QFETCH(QString, place);
        QFETCH(QByteArray, content);
        QTemporaryDir config;
        QVERIFY(config.isValid());
        const QString folder = config.filePath(u"nimbara"_qs);
        const QString preferences = QDir(folder).filePath(u"preferences.plist"_qs);
        writeFile(preferences, "the user's own");
        const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
        const QString socket = QDir(runtime).filePath(
            SingleInstanceGuard::instanceName(QFileInfo(folder).canonicalFilePath()) +
            u".socket"_qs);
        const QString oldName = QString::fromLatin1(
            QCryptographicHash::hash(preferences.toUtf8(), QCryptographicHash::Sha256)
                .toHex()
                .left(16));
        const QHash<QString, QString> places{
            {u"runtime lock"_qs,
             QDir(runtime).filePath(u"nimbara-%1-%2.lock"_qs.arg(getuid()).arg(oldName))},
            {u".lock"_qs, QDir(folder).filePath(u".lock"_qs)},
            {u"socket"_qs, socket}};
        if (place == u".lock folder"_qs) {
            QVERIFY(QDir().mkpath(places.value(u".lock"_qs)));
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"^cannot lock "_qs));
        } else {
            writeFile(places.value(place), content);
        }

        SingleInstanceGuard guard(preferences);
        QCOMPARE(guard.claim(), SingleInstanceGuard::Role::primary);
        QLocalSocket later;
        later.connectToServer(socket);
        QVERIFY2(later.waitForConnected(kWaitMs), qPrintable(later.errorString()));
        QCOMPARE(readBytes(preferences), QByteArray("the user's own"));
    }

    // A later launch for the same preferences folder never runs beside the first, however it
    // reaches that folder: it hands over when it can reach the first and says on stderr that it
    // could not otherwise. Once the first dies, the next launch runs.
    void laterLaunchesNeverRunBesideTheFirst() {
        QTemporaryDir work;
        QVERIFY(work.isValid());
        const QString root = work.filePath(u"server"_qs);
        writeFile(QDir(root).filePath(u"catalog.json"_qs),
                  encodeLauncherManifestJson(catalogWith({publishedApp(u"notes"_qs)})));
        DevServerProcess server(root, work.filePath(u"reports.sqlite"_qs));
        QVERIFY2(server.start(), qPrintable(server.error()));

        // HOME and the XDG folders are this test's temporary ones (inherited from the test).
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"QT_QPA_PLATFORM"_qs, u"offscreen"_qs);
        environment.insert(u"QT_QUICK_BACKEND"_qs, u"software"_qs);
        environment.insert(u"NIMBARA_REPORT_STARTUP"_qs, u"1"_qs);
        environment.insert(u"NIMBARA_MANIFEST_URL"_qs,
                           server.url(u"/api/launcher/manifest"_qs).toString());
        environment.insert(u"NIMBARA_API_URL"_qs, server.url(QString()).toString());
        const auto launch = [](QProcess& process, const QProcessEnvironment& with) {
            process.setProcessEnvironment(with);
            process.start(launcherExecutable(), {});
            QVERIFY2(process.waitForStarted(kWaitMs), qPrintable(process.errorString()));
        };

        QProcess first;
        first.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        launch(first, environment);
        QString firstOutput;
        QVERIFY2(waitForLines(first, u"catalog-loaded-ms:"_qs, firstOutput),
                 qPrintable(u"the first launcher did not start: "_qs + firstOutput));
        // Its first start registered it to start at login (restoring the stored state comes
        // before the catalog load).
        QCOMPARE(readBytes(XdgAutostartLoginItemAdapter::entryPath()),
                 XdgAutostartLoginItemAdapter::entryContent(
                     QFileInfo(launcherExecutable()).canonicalFilePath()));
        const QString preferences = PreferencesStore::defaultPath();
        const QByteArray saved = readBytes(preferences);

        const QString config = environment.value(u"XDG_CONFIG_HOME"_qs);
        const QString runtime = environment.value(u"XDG_RUNTIME_DIR"_qs);
        const QString linked = work.filePath(u"linked-config"_qs);
        QVERIFY(QFile::link(config, linked));
        const QString otherRuntime = work.filePath(u"other-run"_qs);
        QVERIFY(QDir().mkpath(otherRuntime));
        QFile::setPermissions(otherRuntime, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                QFileDevice::ExeOwner);
        const struct {
            QString configHome, runtimeDir;
            int exitCode;
            QString says;
        } laterLaunches[] = {
            {config, runtime, 0, u"asked it to bring its window forward"_qs},
            {config, otherRuntime, 1, u"another launcher uses the preferences"_qs},
            {linked, runtime, 0, u"asked it to bring its window forward"_qs},
        };
        int handOvers = 0;
        for (const auto& row : laterLaunches) {
            QProcessEnvironment with = environment;
            with.insert(u"XDG_CONFIG_HOME"_qs, row.configHome);
            with.insert(u"XDG_RUNTIME_DIR"_qs, row.runtimeDir);
            QProcess later;
            launch(later, with);
            QVERIFY(later.waitForFinished(kWaitMs));
            const QString errors = QString::fromUtf8(later.readAllStandardError());
            const QString context = row.configHome + u" "_qs + row.runtimeDir + u": "_qs + errors;
            QVERIFY2(later.exitStatus() == QProcess::NormalExit && later.exitCode() == row.exitCode,
                     qPrintable(context));
            QVERIFY2(errors.contains(row.says), qPrintable(context));
            // It ended before showing a window, and so before building a store.
            QVERIFY(
                !QString::fromUtf8(later.readAllStandardOutput()).contains(u"first-frame-ms"_qs));
            handOvers += row.exitCode == 0 ? 1 : 0;
            QVERIFY2(waitForLines(first, u"raise-requested"_qs, firstOutput, handOvers),
                     qPrintable(firstOutput));
        }
        QCOMPARE(first.state(), QProcess::Running);
        QCOMPARE(readBytes(preferences), saved);

        // A launcher that died leaves its socket behind; the next launch runs.
        first.kill();
        QVERIFY(first.waitForFinished(kWaitMs));
        QProcess third;
        third.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        launch(third, environment);
        QString thirdOutput;
        const bool thirdStarted = waitForLines(third, u"first-frame-ms:"_qs, thirdOutput);
        third.kill();
        third.waitForFinished(kWaitMs);
        QVERIFY2(thirdStarted, qPrintable(u"after a crash no launcher starts: "_qs + thirdOutput));
    }

    // An app opened from the launcher may outlive it; it must not hold the lock and keep every
    // later launch out.
    void appsStartedByTheLauncherDoNotKeepItsLock() {
        QTemporaryDir config;
        QVERIFY(config.isValid());
        const QString preferences = config.filePath(u"nimbara/preferences.plist"_qs);
        qint64 app = 0;
        {
            SingleInstanceGuard launcher(preferences);
            QCOMPARE(launcher.claim(), SingleInstanceGuard::Role::primary);
            QProcess opened;
            opened.setProgram(u"sleep"_qs);
            opened.setArguments({u"60"_qs});
            QVERIFY(opened.startDetached(&app));
        }
        SingleInstanceGuard next(preferences);
        const SingleInstanceGuard::Role role = next.claim();
        if (app > 0) {
            ::kill(static_cast<pid_t>(app), SIGKILL);
        }
        QCOMPARE(role, SingleInstanceGuard::Role::primary);
    }
};

NIMBARA_TEST_MAIN(TestUiApp)
#include "tst_ui_app.moc"
