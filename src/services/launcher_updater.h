#pragma once

#include "contracts/collaborator_contracts.h"
#include "core/cancellation_token.h"
#include "platform/main_bundle.h"
#include "platform/system_information.h"
#include "services/appcast.h"

#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace nimbara {

// What the updater knows about the launcher it updates.
struct LauncherUpdaterSettings {
    // The Info.plist's SUFeedURL; none, or only white space, turns self-update off.
    std::optional<QString> feedURL;
    QString currentVersion;
    QString bundleIdentifier;
    QUrl bundleURL;
    // Only a launcher that runs from an app bundle can replace itself.
    bool runsFromAppBundle = false;
    // The scheduled checks: the first soon after start, then one a day.
    std::chrono::milliseconds firstCheckDelay{10'000};
    std::chrono::milliseconds checkInterval{std::chrono::hours(24)};

    // The feed, version and identifier from `bundle`'s Info.plist (SUFeedURL only when it is a
    // string), and its location.
    static LauncherUpdaterSettings of(const MainBundle& bundle, bool runsFromAppBundle);
};

// Whom the updater works with. `session` and `installer` may be null only when the feed is
// off; `relaunch` starts the launcher at the bundle just installed and ends this one.
struct LauncherUpdaterServices {
    QNetworkAccessManager* session = nullptr;
    std::shared_ptr<AppInstalling> installer;
    std::shared_ptr<const SystemInformation> system;
    std::function<void(const QUrl& bundle)> relaunch;
};

// Keeps the launcher itself up to date from its appcast. Self-update is on only when the
// Info.plist names a feed; then checks run at start and once a day, and any time the user asks.
// A check fetches the feed (at most 1 MiB), takes the newest item this system can run and
// offers it when its version orders after the running one. Installing it runs the app install
// pipeline on the launcher's own bundle: download, the item's SHA-256, extraction, the
// launcher's bundle identifier, a signature of the build's team, and the swap with a backup;
// then the launcher relaunches.
//
// The dialog shows the check the user asked for from start to end; a scheduled check shows
// itself only when it finds an update (its failures are logged). Lives on the main thread.
class LauncherUpdater : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isEnabled READ isEnabled CONSTANT)
    Q_PROPERTY(bool canCheckForUpdates READ canCheckForUpdates NOTIFY canCheckForUpdatesChanged)
    Q_PROPERTY(Phase phase READ phase NOTIFY phaseChanged)
    Q_PROPERTY(bool showingDialog READ showingDialog NOTIFY showingDialogChanged)
    Q_PROPERTY(QString currentVersion READ currentVersion CONSTANT)
    Q_PROPERTY(QString offeredVersion READ offeredVersion NOTIFY phaseChanged)
    Q_PROPERTY(QString releaseNotes READ releaseNotes NOTIFY phaseChanged)
    Q_PROPERTY(QString releaseNotesLink READ releaseNotesLink NOTIFY phaseChanged)
    Q_PROPERTY(double progress READ progress NOTIFY progressChanged)
    Q_PROPERTY(QString failureReason READ failureReason NOTIFY phaseChanged)

public:
    enum class Phase {
        Idle,
        Checking,
        UpToDate,
        UpdateAvailable,
        Installing,
        Relaunching,
        CheckFailed,
        InstallFailed,
    };
    Q_ENUM(Phase)

    // With `startsUpdater` false nothing is ever scheduled and canCheckForUpdates stays false,
    // as it does when the feed is off.
    LauncherUpdater(LauncherUpdaterSettings settings, LauncherUpdaterServices services,
                    bool startsUpdater = true, QObject* parent = nullptr);
    ~LauncherUpdater() override;

    bool isEnabled() const { return isEnabled_; }
    bool canCheckForUpdates() const { return canCheckForUpdates_; }
    Phase phase() const { return phase_; }
    bool showingDialog() const { return showingDialog_; }
    QString currentVersion() const { return settings_.currentVersion; }
    QString offeredVersion() const { return offered_ ? offered_->version : QString(); }
    QString releaseNotes() const { return offered_ ? offered_->releaseNotes : QString(); }
    // The offered version's release notes page (https), or empty.
    QString releaseNotesLink() const;
    // The install's fraction done, 0 to 1.
    double progress() const { return progress_; }
    // The readable description of the failure of the last check or install.
    QString failureReason() const { return failureReason_; }

    // A check the user asked for; does nothing unless canCheckForUpdates.
    Q_INVOKABLE void checkForUpdates();
    // Installs the offered update; does nothing unless one is offered.
    Q_INVOKABLE void installUpdate();
    // "Later", "Close" or "Cancel": closes the dialog; an install not yet swapping stops.
    Q_INVOKABLE void dismiss();

Q_SIGNALS:
    void canCheckForUpdatesChanged();
    void phaseChanged();
    void showingDialogChanged();
    void progressChanged();

private:
    void startCheck(bool userInitiated);
    QCoro::Task<> runCheck();
    QCoro::Task<> runInstall(AppcastItem item);
    void noteProgress(const InstallProgress& progress);
    void setPhase(Phase phase);
    void setShowingDialog(bool showing);
    void setProgress(double progress);

    LauncherUpdaterSettings settings_;
    LauncherUpdaterServices services_;
    bool isEnabled_ = false;
    bool started_ = false;
    bool canCheckForUpdates_ = false;
    bool userInitiated_ = false;
    Phase phase_ = Phase::Idle;
    bool showingDialog_ = false;
    std::optional<AppcastItem> offered_;
    double progress_ = 0;
    QString failureReason_;
    CancellationToken cancellation_;
    QTimer schedule_;
};

// Fetches and reads the appcast at `feed` (https, or plain http to this machine): an answer
// outside 200-299, an empty body, one over 1 MiB or a feed without a usable item is an error.
QCoro::Task<Appcast> fetchAppcast(QNetworkAccessManager& session, QUrl feed);

// The launcher's own release as the install pipeline takes it.
AppManifestItem launcherRelease(const AppcastItem& item, const QString& bundleIdentifier);

} // namespace nimbara
