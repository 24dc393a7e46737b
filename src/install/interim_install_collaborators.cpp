#include "install/interim_install_collaborators.h"

#include "install/installed_code_validation_error.h"

namespace nimbara {

QCoro::Task<InstalledApp> UnavailableAppInstaller::install(AppManifestItem, std::optional<QUrl>,
                                                           InstallProgressSink, CancellationToken) {
    throw InstalledCodeValidationError(
        InstalledCodeValidationError::Case::missingTeamIDConfiguration);
    co_return InstalledApp{};
}

QString UnavailableAppUninstaller::unavailableProblem() {
    return QStringLiteral("Removing apps is not available in this build yet; nothing was moved "
                          "to the Trash.");
}

QCoro::Task<AppRemovalOutcome> UnavailableAppUninstaller::removeApp(AppRemovalRequest request) {
    AppRemovalOutcome outcome;
    outcome.appID = request.appID;
    outcome.removedBundle = false;
    outcome.problems.append(unavailableProblem());
    co_return outcome;
}

SelfTrashResult UnavailableAppUninstaller::trashSelf(const QUrl&) {
    return SelfTrashResult::failed(unavailableProblem());
}

} // namespace nimbara
