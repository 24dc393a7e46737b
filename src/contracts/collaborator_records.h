#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QUrl>
#include <functional>
#include <optional>

namespace nimbara {

// The result of an install: where the bundle now lives and which version it is.
struct InstalledApp {
    QUrl url;
    QString version;

    bool operator==(const InstalledApp&) const = default;
};

// An app put back to its kept previous copy. The copy it replaced waits under `replacedCopy`
// until the rollback is finished, so that an end before the store recorded the rollback is
// undone at the next start.
struct RolledBackApp {
    QString appID;
    InstalledApp installed;
    QString replacedCopy;

    bool operator==(const RolledBackApp&) const = default;
};

// How far one install has come, as the installer reports it while it runs.
struct InstallProgress {
    enum class Phase { downloading, checking, unpacking, validating, placing };
    Phase phase = Phase::downloading;
    // While downloading: the bytes received so far, and the archive's size when the server
    // announced it.
    qint64 receivedBytes = 0;
    std::optional<qint64> totalBytes;

    bool operator==(const InstallProgress&) const = default;
};

// Hears an install's progress, on the main thread.
using InstallProgressSink = std::function<void(const InstallProgress&)>;

// Where the launcher remembers having installed an app, and which version.
struct RecordedInstall {
    QString bundlePath;
    QString version;

    bool operator==(const RecordedInstall&) const = default;
};

// What the launcher reads from an app bundle's Contents/Info.plist.
struct InstalledBundleMetadata {
    QString bundleIdentifier; // CFBundleIdentifier, never empty
    QString shortVersion;     // CFBundleShortVersionString, never empty

    bool operator==(const InstalledBundleMetadata&) const = default;
};

// What to remove: an app's bundle and, on request, its data.
struct AppRemovalRequest {
    QString appID;                    // catalog id, carried through to the outcome
    QString bundleID;                 // finds running instances, the bundle and the data
    std::optional<QUrl> installedURL; // where the store last recorded the bundle
    bool deleteData = false;          // also move the app's data to the Trash

    bool operator==(const AppRemovalRequest&) const = default;
};

// What a removal did. `problems` holds a readable text for every failure, in the order they
// happened; it is empty on full success.
struct AppRemovalOutcome {
    QString appID;
    bool removedBundle = false;
    QList<QUrl> removedDataPaths;
    QStringList problems;

    bool operator==(const AppRemovalOutcome&) const = default;
};

// The result of moving the launcher's own bundle to the Trash.
struct SelfTrashResult {
    enum class Case { trashed, skippedNotAppBundle, failed };

    Case kind = Case::trashed;
    QString message; // the failure's readable description; empty unless failed

    static SelfTrashResult trashed() { return {Case::trashed, {}}; }
    static SelfTrashResult skippedNotAppBundle() { return {Case::skippedNotAppBundle, {}}; }
    static SelfTrashResult failed(QString message) { return {Case::failed, std::move(message)}; }

    bool operator==(const SelfTrashResult&) const = default;
};

// The launch-at-login state that the store republishes.
struct LoginItemState {
    enum class Case { disabled, enabled, requiresApproval, failed };

    Case kind = Case::disabled;
    QString message; // the failed attempt's readable description; empty unless failed

    static LoginItemState disabled() { return {Case::disabled, {}}; }
    static LoginItemState enabled() { return {Case::enabled, {}}; }
    static LoginItemState requiresApproval() { return {Case::requiresApproval, {}}; }
    static LoginItemState failed(QString message) { return {Case::failed, std::move(message)}; }

    bool operator==(const LoginItemState&) const = default;
};

// Context sent with an error report. The store fills "flow" (install, uninstall,
// uninstall_everything, persisted_install_revalidation), "app" (catalog id) and, for
// installs, "version" (catalog version).
using ErrorReportContext = QMap<QString, QString>;

} // namespace nimbara
