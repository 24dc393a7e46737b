#pragma once

#include <QString>
#include <QUrl>
#include <optional>

namespace nimbara {

// Finds and opens installed apps. Both operations read the file system and may scan or start
// processes, so callers run them on worker threads: implementations must be safe to call from
// any thread, also from several at once.
class AppWorkspace {
public:
    virtual ~AppWorkspace() = default;
    // The location of an installed app bundle carrying `bundleIdentifier`, or none.
    virtual std::optional<QUrl> urlForApplication(const QString& bundleIdentifier) const = 0;
    // Launches the app bundle at `bundleURL`, or leaves it be when an instance already runs.
    // Failures are not reported: the caller does not wait for the launch.
    virtual void openApplication(const QUrl& bundleURL) = 0;
};

} // namespace nimbara
