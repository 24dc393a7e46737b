#pragma once

#include <optional>

namespace nimbara {

// Where the user's launch-at-login wish is kept between launches.
class LoginItemPreferenceStoring {
public:
    virtual ~LoginItemPreferenceStoring() = default;
    // None when the wish was never stored (or what is stored is not a Boolean).
    virtual std::optional<bool> desiredEnabled() const = 0;
    virtual void setDesiredEnabled(bool enabled) = 0;
};

} // namespace nimbara
