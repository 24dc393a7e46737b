#include "install/release_requirements.h"

#include "catalog/manifest_policy.h"
#include "install/app_installer_error.h"

namespace nimbara {

ReleaseToInstall checkRelease(const AppManifestItem& app, const OperatingSystemVersion& running) {
    if (!app.downloadUrl)
        throw AppInstallerError::of(AppInstallerError::Case::missingDownloadURL);
    if (!app.sha256 || !ManifestPolicy::hasPublishedRelease(app))
        throw AppInstallerError::of(AppInstallerError::Case::invalidReleaseMetadata);
    const std::optional<OperatingSystemVersion> minimum =
        ManifestPolicy::macOSVersion(app.minMacOS);
    if (!minimum || running < *minimum)
        throw AppInstallerError::unsupportedMacOS(app.minMacOS);
    return {*app.downloadUrl, app.sha256->toLower()};
}

} // namespace nimbara
