#include "wiring/production_wiring.h"

#include "catalog/seed_manifest.h"
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

#include <QDir>

namespace nimbara {

namespace {

ProductionLocations locationsOf(const MainBundle& bundle) {
    return {RemoteManifestClient::defaultEndpoint(&bundle),
            RemoteFeedbackClient::defaultBaseURL(&bundle), LinuxAppWorkspace::defaultInstallRoot(),
            PreferencesStore::defaultPath()};
}

} // namespace

ProductionLocations ProductionLocations::current() {
    return locationsOf(LinuxMainBundle());
}

std::shared_ptr<BundleSignatureValidator> productionSignatureValidator() {
    return std::make_shared<BundleSignatureValidator>(
        QString::fromUtf8(signing_configuration::kTeamID),
        QByteArray(signing_configuration::kTrustAnchorsPem));
}

LauncherStoreWiring productionWiring(QNetworkAccessManager& session) {
    const auto mainBundle = std::make_shared<LinuxMainBundle>();
    const ProductionLocations locations = locationsOf(*mainBundle);

    LauncherStoreWiring wiring;
    wiring.manifestLoader = std::make_shared<RemoteManifestClient>(locations.catalogURL, session);
    wiring.uninstaller =
        std::make_shared<AppUninstaller>(AppUninstaller::Settings::forCurrentUser());
    wiring.eventSink =
        std::make_shared<HttpOperationalEventSink>(locations.serviceBaseURL, session);
    wiring.feedbackClient =
        std::make_shared<RemoteFeedbackClient>(locations.serviceBaseURL, session);
    const auto validator = productionSignatureValidator();
    const auto systemInformation = std::make_shared<LinuxSystemInformation>();
    const KeptCopies kept(KeptCopies::defaultRoot());
    AppInstallerOptions installing;
    installing.keptCopies = kept;
    wiring.installer = std::make_shared<AppInstaller>(session, locations.installRoot, validator,
                                                      systemInformation, std::move(installing));
    wiring.installedCodeValidator = validator;
    wiring.rollback = std::make_shared<AppRollback>(kept, validator);
    wiring.manifest = SeedManifest::manifest();
    wiring.userDefaults = std::make_shared<PreferencesStore>(locations.preferencesPath);
    wiring.loadStoredStateSynchronously = false;
    wiring.errorReporter = std::make_shared<LauncherErrorReporter>(session);
    wiring.workspace = std::make_shared<LinuxAppWorkspace>(
        locations.installRoot, LinuxAppWorkspace::defaultApplicationsFolder());
    wiring.systemInformation = systemInformation;
    wiring.installRecovery = std::make_shared<InstallRecovery>(
        locations.installRoot, QDir::tempPath(), InstallRecovery::processStartTime(), kept.root());
    wiring.mainBundle = mainBundle;
    return wiring;
}

} // namespace nimbara
