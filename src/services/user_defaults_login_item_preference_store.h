#pragma once

#include "services/login_item_preference_storing.h"

#include <memory>

namespace nimbara {

class PreferencesStore;

// Keeps the launch-at-login wish in the launcher's preferences under
// "nimbara.launchAtLoginDesired". Any value there that is not a Boolean (a string "true", data,
// an array) reads as never stored.
class UserDefaultsLoginItemPreferenceStore : public LoginItemPreferenceStoring {
public:
    static constexpr const char* kDesiredKey = "nimbara.launchAtLoginDesired";

    explicit UserDefaultsLoginItemPreferenceStore(std::shared_ptr<PreferencesStore> defaults);

    std::optional<bool> desiredEnabled() const override;
    void setDesiredEnabled(bool enabled) override;

private:
    std::shared_ptr<PreferencesStore> defaults_;
};

} // namespace nimbara
