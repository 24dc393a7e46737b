#pragma once

// Stand-ins for the collaborators whose real implementations are still being written. Each one
// is safe and says plainly that it cannot do its job: nothing here pretends to succeed. They are
// what this build wires in production until the real ones land; each class names its successor.

#include "store/collaborator_contracts.h"

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

// Trusts no bundle: every check fails with missingTeamIDConfiguration, as the signature checker
// does when the build has no team identifier and trust anchors compiled in.
// Replaced by the OpenSSL bundle-signature validator.
class UnavailableCodeValidator : public InstalledCodeValidating {
public:
    void validate(const QUrl& appAt, const QString& expectedBundleID,
                  const QString& expectedVersion) const override;
};

// Removes nothing. Every removal comes back with removedBundle false and one problem saying
// why, so the store reports a partial failure instead of claiming the app is gone; trashSelf
// fails with the same explanation.
// Replaced by AppUninstaller (terminate running instances, move bundle and data to the Trash).
class UnavailableAppUninstaller : public AppUninstalling {
public:
    // The problem text every removal reports (a fixed English text, as the uninstaller's own
    // problem texts are).
    static QString unavailableProblem();

    QCoro::Task<AppRemovalOutcome> removeApp(AppRemovalRequest request) override;
    SelfTrashResult trashSelf(const QUrl& bundleURL) override;
};

// Registers nothing with the session: the state is `disabled`, and asking to enable launch at
// login answers `failed` with the reason instead of pretending to be registered. Nothing is
// written to the preferences.
// Replaced by LauncherLoginItemManager over the XDG autostart entry.
class UnavailableLoginItemManager : public LoginItemManaging {
public:
    static QString unavailableReason();

    LoginItemState state() const override { return state_; }
    bool desiredEnabled() const override { return false; }
    bool hasReconciledAfterLaunch() const override { return reconciled_; }
    void setHasReconciledAfterLaunch(bool reconciled) override { reconciled_ = reconciled; }
    // Nothing is registered, so there is nothing to bring in step; the state stays as it is.
    void reconcile() override {}
    void setDesired(bool enabled) override;
    // There is no approval step to open settings for.
    void openApprovalSettings() override {}

private:
    LoginItemState state_ = LoginItemState::disabled();
    bool reconciled_ = false;
};

} // namespace nimbara
