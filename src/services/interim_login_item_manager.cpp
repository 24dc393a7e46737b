#include "services/interim_login_item_manager.h"

namespace nimbara {

QString UnavailableLoginItemManager::unavailableReason() {
    return QStringLiteral("launch at login is not available in this build yet.");
}

void UnavailableLoginItemManager::setDesired(bool enabled) {
    state_ = enabled ? LoginItemState::failed(unavailableReason()) : LoginItemState::disabled();
}

} // namespace nimbara
