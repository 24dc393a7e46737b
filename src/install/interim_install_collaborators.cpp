#include "install/interim_install_collaborators.h"

#include "install/installed_code_validation_error.h"

namespace nimbara {

QCoro::Task<InstalledApp> UnavailableAppInstaller::install(AppManifestItem, std::optional<QUrl>) {
    throw InstalledCodeValidationError(
        InstalledCodeValidationError::Case::missingTeamIDConfiguration);
    co_return InstalledApp{};
}

} // namespace nimbara
