#pragma once

// Stand-in for the launch-at-login manager until the XDG autostart one lands. It is safe and
// says plainly that it cannot do its job: nothing here pretends to succeed.

#include "contracts/collaborator_contracts.h"

namespace nimbara {

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
