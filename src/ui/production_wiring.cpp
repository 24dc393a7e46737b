#include "ui/production_wiring.h"

#include "catalog/seed_manifest.h"
#include "core/logging.h"
#include "install/app_installer.h"
#include "install/app_rollback.h"
#include "install/app_uninstaller.h"
#include "install/bundle_signature_validator.h"
#include "install/install_recovery.h"
#include "nimbara/signing_configuration.h"
#include "platform/linux_app_workspace.h"
#include "platform/linux_main_bundle.h"
#include "platform/preferences_store.h"
#include "platform/system_information.h"
#include "services/http_event_sink.h"
#include "services/launcher_error_reporter.h"
#include "services/remote_feedback_client.h"
#include "services/remote_manifest_client.h"
#include "services/xdg_application_entry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QThreadPool>

namespace nimbara {

namespace {

// Checks signatures against the team and trust anchors this build was configured with.
std::shared_ptr<BundleSignatureValidator> buildValidator() {
    return std::make_shared<BundleSignatureValidator>(
        QString::fromUtf8(signing_configuration::kTeamID),
        QByteArray(signing_configuration::kTrustAnchorsPem));
}

} // namespace

LauncherStoreWiring productionWiring(QNetworkAccessManager& session) {
    const auto mainBundle = std::make_shared<LinuxMainBundle>();
    const QUrl serviceBaseURL = RemoteFeedbackClient::defaultBaseURL(mainBundle.get());

    LauncherStoreWiring wiring;
    wiring.manifestLoader = std::make_shared<RemoteManifestClient>(
        RemoteManifestClient::defaultEndpoint(mainBundle.get()), session);
    wiring.uninstaller =
        std::make_shared<AppUninstaller>(AppUninstaller::Settings::forCurrentUser());
    wiring.eventSink = std::make_shared<HttpOperationalEventSink>(serviceBaseURL, session);
    wiring.feedbackClient = std::make_shared<RemoteFeedbackClient>(serviceBaseURL, session);
    const auto validator = buildValidator();
    const auto systemInformation = std::make_shared<LinuxSystemInformation>();
    const KeptCopies kept(KeptCopies::defaultRoot());
    AppInstallerOptions installing;
    installing.keptCopies = kept;
    wiring.installer =
        std::make_shared<AppInstaller>(session, LinuxAppWorkspace::defaultInstallRoot(), validator,
                                       systemInformation, std::move(installing));
    wiring.installedCodeValidator = validator;
    wiring.rollback = std::make_shared<AppRollback>(kept, validator);
    wiring.manifest = SeedManifest::manifest();
    wiring.userDefaults = std::make_shared<PreferencesStore>(PreferencesStore::defaultPath());
    wiring.loadStoredStateSynchronously = false;
    wiring.errorReporter = std::make_shared<LauncherErrorReporter>(session);
    wiring.workspace = std::make_shared<LinuxAppWorkspace>(
        LinuxAppWorkspace::defaultInstallRoot(), LinuxAppWorkspace::defaultApplicationsFolder());
    wiring.systemInformation = systemInformation;
    wiring.installRecovery =
        std::make_shared<InstallRecovery>(LinuxAppWorkspace::defaultInstallRoot(), QDir::tempPath(),
                                          InstallRecovery::processStartTime(), kept.root());
    wiring.mainBundle = mainBundle;
    return wiring;
}

void ensureUserApplicationEntry(const LinuxMainBundle& bundle) {
    const QString bundlePath = bundle.bundleURL().toLocalFile();
    if (!bundle.isAppBundle() ||
        !XdgApplicationEntry::isPerUserBundle(bundlePath, QDir::homePath()))
        return;
    QThreadPool::globalInstance()->start(
        [bundlePath, executable = QCoreApplication::applicationFilePath()] {
            try {
                if (XdgApplicationEntry::ensure(
                        executable, bundlePath + QStringLiteral("/Contents/Resources/nimbara.svg")))
                    qCInfo(logUi).noquote() << "added the launcher to the application menu:"
                                            << XdgApplicationEntry::entryPath();
            } catch (const std::exception& error) {
                qCWarning(logUi).noquote() << "could not add the launcher to the application menu:"
                                           << failureReason(error);
            }
        });
}

std::unique_ptr<LauncherUpdater> productionUpdater(const LinuxMainBundle& bundle,
                                                   QNetworkAccessManager& session,
                                                   std::function<void(const QUrl&)> relaunch) {
    LauncherUpdaterSettings settings = LauncherUpdaterSettings::of(bundle, bundle.isAppBundle());
    const QString bundleFolder = QFileInfo(settings.bundleURL.toLocalFile()).absolutePath();
    const auto system = std::make_shared<LinuxSystemInformation>();
    LauncherUpdaterServices services{
        &session, std::make_shared<AppInstaller>(session, bundleFolder, buildValidator(), system),
        system, std::move(relaunch)};
    auto updater = std::make_unique<LauncherUpdater>(settings, std::move(services));
    if (updater->isEnabled() && settings.runsFromAppBundle) {
        // An update of the launcher cut short by a crash leaves its backup or staged copy beside
        // the bundle. This launcher runs from the bundle, so the version running now is the one
        // in place: the leftovers are settled against it, off the main thread.
        QThreadPool::globalInstance()->start(
            [folder = bundleFolder, recorded = RecordedInstall{settings.bundleURL.toLocalFile(),
                                                               settings.currentVersion}] {
                InstallRecovery(folder, QDir::tempPath(), InstallRecovery::processStartTime())
                    .recover({recorded});
            });
    }
    return updater;
}

} // namespace nimbara
