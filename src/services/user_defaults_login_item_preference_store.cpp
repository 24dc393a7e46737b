#include "services/user_defaults_login_item_preference_store.h"

#include "platform/preferences_store.h"

namespace nimbara {

UserDefaultsLoginItemPreferenceStore::UserDefaultsLoginItemPreferenceStore(
    std::shared_ptr<PreferencesStore> defaults)
    : defaults_(std::move(defaults)) {}

std::optional<bool> UserDefaultsLoginItemPreferenceStore::desiredEnabled() const {
    const std::optional<PreferenceValue> value =
        defaults_->objectForKey(QString::fromLatin1(kDesiredKey));
    if (!value || !value->isBoolean()) {
        return std::nullopt;
    }
    return value->toBool();
}

void UserDefaultsLoginItemPreferenceStore::setDesiredEnabled(bool enabled) {
    defaults_->setBool(QString::fromLatin1(kDesiredKey), enabled);
}

} // namespace nimbara
