#include "services/launcher_login_item_manager.h"

#include "core/error.h"
#include "core/logging.h"
#include "services/xdg_autostart_login_item_adapter.h"

namespace nimbara {

namespace {

LoginItemState stateFor(LoginItemServiceStatus status) {
    switch (status) {
    case LoginItemServiceStatus::enabled:
        return LoginItemState::enabled();
    case LoginItemServiceStatus::requiresApproval:
        return LoginItemState::requiresApproval();
    case LoginItemServiceStatus::notRegistered:
    case LoginItemServiceStatus::notFound:
        break;
    }
    return LoginItemState::disabled();
}

// Registered in the session's eyes, approved or not.
bool isRegistered(LoginItemServiceStatus status) {
    return status == LoginItemServiceStatus::enabled ||
           status == LoginItemServiceStatus::requiresApproval;
}

} // namespace

LauncherLoginItemManager::LauncherLoginItemManager(
    std::shared_ptr<LoginItemServiceAdapting> service,
    std::shared_ptr<LoginItemPreferenceStoring> store, std::function<void()> openApprovalSettings)
    : service_(std::move(service)), store_(std::move(store)),
      openApprovalSettings_(openApprovalSettings
                                ? std::move(openApprovalSettings)
                                : &XdgAutostartLoginItemAdapter::openAutostartFolder) {
    if (const std::optional<bool> stored = store_->desiredEnabled()) {
        desiredEnabled_ = *stored;
    } else {
        desiredEnabled_ = true;
        store_->setDesiredEnabled(true);
    }
    state_ = stateFor(service_->status());
}

void LauncherLoginItemManager::registerReportingErrors() {
    try {
        service_->registerItem();
    } catch (const std::exception& error) {
        qCWarning(logServices) << "cannot register the launcher to start at login:"
                               << failureReason(error);
        state_ = LoginItemState::failed(errorDescription(error));
        return;
    }
    state_ = stateFor(service_->status());
}

void LauncherLoginItemManager::setDesired(bool enabled) {
    desiredEnabled_ = enabled;
    store_->setDesiredEnabled(enabled);
    const LoginItemServiceStatus status = service_->status();
    if (enabled) {
        if (isRegistered(status)) {
            state_ = stateFor(status);
        } else {
            registerReportingErrors();
        }
        return;
    }
    if (isRegistered(status)) {
        try {
            service_->unregisterItem();
        } catch (const std::exception& error) {
            qCWarning(logServices)
                << "cannot stop the launcher starting at login:" << failureReason(error);
            state_ = LoginItemState::failed(errorDescription(error));
            return;
        }
    }
    state_ = LoginItemState::disabled();
}

void LauncherLoginItemManager::reconcile() {
    const LoginItemServiceStatus status = service_->status();
    if (isRegistered(status)) {
        state_ = stateFor(status);
    } else if (desiredEnabled_) {
        registerReportingErrors();
    } else {
        state_ = LoginItemState::disabled();
    }
}

void LauncherLoginItemManager::openApprovalSettings() {
    openApprovalSettings_();
}

} // namespace nimbara
