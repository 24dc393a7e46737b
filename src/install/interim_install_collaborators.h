#pragma once

// Stand-ins for the install collaborators whose real implementations are still being written. Each
// one is safe and says plainly that it cannot do its job: nothing here pretends to succeed. They
// are what this build wires in production until the real ones land; each class names its successor.

#include "contracts/collaborator_contracts.h"

namespace nimbara {

// Installs nothing. Every install fails exactly as it does in a build without a configured
// signing team: InstalledCodeValidationError(missingTeamIDConfiguration), whose description is
// the localised "no signing team configured" text.
// Replaced by AppInstaller (download, digest check, extraction, signature checks, swap).
class UnavailableAppInstaller : public AppInstalling {
public:
    QCoro::Task<InstalledApp> install(AppManifestItem app,
                                      std::optional<QUrl> existingInstallURL) override;
};

} // namespace nimbara
