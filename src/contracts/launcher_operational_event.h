#pragma once

#include <QString>
#include <optional>

namespace nimbara {

// One operational event about an app install: started, succeeded or failed.
struct LauncherOperationalEvent {
    QString eventType;                 // "install_started", "install_succeeded", "install_failed"
    std::optional<QString> appSlug;    // the app's catalog id
    std::optional<QString> appVersion; // the app's catalog version
    QString status;                    // "started", "succeeded", "failed"
    std::optional<QString> reason;     // the failure's rendering

    bool operator==(const LauncherOperationalEvent&) const = default;
};

} // namespace nimbara
