#pragma once

#include "contracts/collaborator_contracts.h"
#include "services/login_item_preference_storing.h"
#include "services/login_item_service_adapting.h"

#include <functional>
#include <memory>

namespace nimbara {

// The launcher's launch-at-login manager: keeps the user's wish (persisted through `store`) and
// the session's registration (through `service`) in step. Launch at login is on by default: a
// wish never stored is stored as true at construction. Register and unregister failures never
// reach the caller; they show as state() == failed(the error's description), and are retried
// only by the next setDesired or the next launch's reconcile. Synchronous, main thread only.
class LauncherLoginItemManager : public LoginItemManaging {
public:
    // `openApprovalSettings` shows the user what starts at login; by default the autostart
    // folder in the file manager.
    LauncherLoginItemManager(std::shared_ptr<LoginItemServiceAdapting> service,
                             std::shared_ptr<LoginItemPreferenceStoring> store,
                             std::function<void()> openApprovalSettings = {});

    LoginItemState state() const override { return state_; }
    bool desiredEnabled() const override { return desiredEnabled_; }
    bool hasReconciledAfterLaunch() const override { return reconciledAfterLaunch_; }
    void setHasReconciledAfterLaunch(bool reconciled) override {
        reconciledAfterLaunch_ = reconciled;
    }
    // Brings a missing registration back when the wish is on; never unregisters.
    void reconcile() override;
    void setDesired(bool enabled) override;
    void openApprovalSettings() override;

private:
    void registerReportingErrors();

    std::shared_ptr<LoginItemServiceAdapting> service_;
    std::shared_ptr<LoginItemPreferenceStoring> store_;
    std::function<void()> openApprovalSettings_;
    LoginItemState state_;
    bool desiredEnabled_ = true;
    bool reconciledAfterLaunch_ = false;
};

} // namespace nimbara
