#pragma once

#include <QString>
#include <optional>

namespace nimbara {

// One operational event about an app install: started, succeeded, failed or cancelled.
struct LauncherOperationalEvent {
    QString eventType;                 // "install_started", "install_succeeded", "install_failed",
                                       // "install_cancelled"
    std::optional<QString> appSlug;    // the app's catalog id
    std::optional<QString> appVersion; // the app's catalog version
    QString status;                    // "started", "succeeded", "failed", "cancelled"
    std::optional<QString> reason;     // the failure's rendering

    bool operator==(const LauncherOperationalEvent&) const = default;
};

} // namespace nimbara
