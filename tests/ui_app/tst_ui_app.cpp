// The application's own wiring: where production collaborators point, that the stand-ins for
// unfinished collaborators fail honestly, and that a second launch hands over to the first.
#include "catalog/manifest_coding.h"
#include "catalog/seed_manifest.h"
#include "install/installed_code_validation_error.h"
#include "install/interim_install_collaborators.h"
#include "platform/preferences_store.h"
#include "platform/preferred_languages.h"
#include "services/http_event_sink.h"
#include "services/interim_login_item_manager.h"
#include "services/remote_feedback_client.h"
#include "services/remote_manifest_client.h"
#include "support/catalog_samples.h"
#include "support/dev_server_process.h"
#include "support/temp_home.h"
#include "text/nimbara_copy.h"
#include "ui/production_wiring.h"
#include "ui/startup_sequence.h"

#include <QCoro/QCoroTask>
#include <QDir>
#include <QFile>
#include <QNetworkAccessManager>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace nimbara;
using namespace nimbara::test;

namespace {

// Generous guards against a hung process; nothing here depends on how fast anything is.
constexpr int kWaitMs = 60000;

QString launcherExecutable() {
    return QDir(qEnvironmentVariable("NIMBARA_BUILD_DIR")).filePath(u"src/ui/nimbara"_qs);
}

// Reads standard output until a line starting with `prefix` arrives; answers that line, or an
// empty string when the process ended or the guard ran out first. Everything read is kept in
// `output`.
QString waitForLine(QProcess& process, const QString& prefix, QString& output) {
    for (;;) {
        output += QString::fromUtf8(process.readAllStandardOutput());
        for (const QString& line : output.split(u'\n')) {
            if (line.startsWith(prefix)) {
                return line;
            }
        }
        if (process.state() == QProcess::NotRunning || !process.waitForReadyRead(kWaitMs)) {
            output += QString::fromUtf8(process.readAllStandardOutput());
            return output.split(u'\n')
                .filter(QRegularExpression(u"^"_qs + QRegularExpression::escape(prefix)))
                .value(0);
        }
    }
}

// Runs the event loop until `task` ends; answers the exception it ended with, if any.
// (QCoro::waitFor alone never returns when the task throws.)
template <typename T> std::exception_ptr failureOf(QCoro::Task<T> task) {
    std::exception_ptr failure;
    auto capture = [](QCoro::Task<T> running, std::exception_ptr& into) -> QCoro::Task<> {
        try {
            co_await std::move(running);
        } catch (...) {
            into = std::current_exception();
        }
    };
    QCoro::waitFor(capture(std::move(task), failure));
    return failure;
}

} // namespace

class TestUiApp : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void productionWiringUsesConfiguredEndpoints();
    void interimCollaboratorsFailHonestly();
    void windowSizeParsing();
    void secondLaunchHandsOverToTheFirst();

private:
    QNetworkAccessManager network_;
};

void TestUiApp::productionWiringUsesConfiguredEndpoints() {
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

    const auto* events = dynamic_cast<HttpOperationalEventSink*>(wiring.eventSink.get());
    QVERIFY(events);
    QCOMPARE(events->endpoint(), QUrl(u"http://127.0.0.1:4511/service/api/launcher/events"_qs));

    QVERIFY(wiring.userDefaults);
    QCOMPARE(wiring.userDefaults->filePath(), PreferencesStore::defaultPath());
    QVERIFY(wiring.userDefaults->filePath().startsWith(qEnvironmentVariable("XDG_CONFIG_HOME")));
    QCOMPARE(wiring.manifest, SeedManifest::manifest());
    QVERIFY(!wiring.loadStoredStateSynchronously);
}

// The stand-ins for unfinished collaborators fail honestly: nothing claims a success.
void TestUiApp::interimCollaboratorsFailHonestly() {
    const auto isMissingTeam = [](const std::exception_ptr& failure) {
        try {
            std::rethrow_exception(failure);
        } catch (const InstalledCodeValidationError& error) {
            return error.kind() == InstalledCodeValidationError::Case::missingTeamIDConfiguration &&
                   error.description() ==
                       NimbaraCopy::text(CopyKey::codeValidationMissingTeamID, systemLocale());
        } catch (...) {
            return false;
        }
    };
    UnavailableAppInstaller installer;
    const std::exception_ptr failure =
        failureOf(installer.install(publishedApp(u"notes"_qs), std::nullopt));
    QVERIFY2(failure && isMissingTeam(failure), "the install did not fail for want of a team");

    const UnavailableCodeValidator validator;
    std::exception_ptr rejected;
    try {
        validator.validate(QUrl::fromLocalFile(QDir::tempPath()), u"com.nimbara.notes"_qs,
                           u"1.0.0"_qs);
    } catch (...) {
        rejected = std::current_exception();
    }
    QVERIFY2(rejected && isMissingTeam(rejected), "the bundle was trusted");

    UnavailableLoginItemManager manager;
    manager.setDesired(true);
    QCOMPARE(manager.state(),
             LoginItemState::failed(UnavailableLoginItemManager::unavailableReason()));
    manager.setDesired(false);
    QCOMPARE(manager.state(), LoginItemState::disabled());
}

void TestUiApp::windowSizeParsing() {
    QCOMPARE(parseWindowSize(u"1060x720"_qs), std::optional(QSize(1060, 720)));
    QCOMPARE(parseWindowSize(u"0x720"_qs), std::nullopt);
    QCOMPARE(parseWindowSize(u"1060"_qs), std::nullopt);
    QCOMPARE(parseWindowSize(u"1060x720x3"_qs), std::nullopt);
}

void TestUiApp::secondLaunchHandsOverToTheFirst() {
    QTemporaryDir work;
    QVERIFY(work.isValid());
    const QString root = work.filePath(u"server"_qs);
    QVERIFY(QDir().mkpath(root));
    QFile catalog(QDir(root).filePath(u"catalog.json"_qs));
    QVERIFY(catalog.open(QIODevice::WriteOnly));
    catalog.write(encodeLauncherManifestJson(catalogWith({publishedApp(u"notes"_qs)})));
    catalog.close();
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
    const auto launch = [&](QProcess& process) {
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(launcherExecutable(), {});
        QVERIFY2(process.waitForStarted(kWaitMs), qPrintable(process.errorString()));
    };

    QProcess first;
    launch(first);
    QString firstOutput;
    QVERIFY2(!waitForLine(first, u"catalog-loaded-ms:"_qs, firstOutput).isEmpty(),
             qPrintable(u"the first launcher did not start: "_qs + firstOutput));

    QProcess second;
    launch(second);
    QVERIFY(second.waitForFinished(kWaitMs));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    // It ended before showing a window (and so before building a store).
    QVERIFY(!QString::fromUtf8(second.readAllStandardOutput()).contains(u"first-frame-ms"_qs));

    QCOMPARE(first.state(), QProcess::Running);
    QVERIFY2(!waitForLine(first, u"raise-requested"_qs, firstOutput).isEmpty(),
             qPrintable(firstOutput));

    // A launcher that died leaves its lock behind; the next launch takes it over and runs.
    first.kill();
    QVERIFY(first.waitForFinished(kWaitMs));
    QProcess third;
    launch(third);
    QString thirdOutput;
    const bool thirdStarted = !waitForLine(third, u"first-frame-ms:"_qs, thirdOutput).isEmpty();
    third.kill();
    third.waitForFinished(kWaitMs);
    QVERIFY2(thirdStarted, qPrintable(u"after a crash no launcher starts: "_qs + thirdOutput));
}

NIMBARA_TEST_MAIN(TestUiApp)
#include "tst_ui_app.moc"
