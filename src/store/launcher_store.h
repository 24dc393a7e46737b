#pragma once

#include "catalog/app_install_state.h"
#include "catalog/app_manifest_item.h"
#include "catalog/launcher_announcement.h"
#include "catalog/launcher_manifest.h"
#include "contracts/collaborator_contracts.h"
#include "contracts/collaborator_records.h"
#include "contracts/feedback_records.h"
#include "core/cancellation_token.h"
#include "store/install_progress_meter.h"
#include "text/nimbara_copy.h"
#include "text/nimbara_locale.h"

#include <QCoro/QCoroTask>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QUrl>
#include <coroutine>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace nimbara {

class AppWorkspace;
class MainBundle;
class PreferencesStore;
class SystemInformation;

// Everything a store is built from, in the order it is handed over. Collaborators are shared,
// so that a task still running after the store has gone keeps the collaborator it awaits.
struct LauncherStoreWiring {
    std::shared_ptr<ManifestLoading> manifestLoader;
    std::shared_ptr<AppInstalling> installer;
    std::shared_ptr<AppUninstalling> uninstaller;
    std::shared_ptr<OperationalEventRecording> eventSink;
    std::shared_ptr<FeedbackReporting> feedbackClient;
    std::shared_ptr<InstalledCodeValidating> installedCodeValidator;
    // Keeps the bundles updates replace and puts them back; none: no rollback is offered.
    std::shared_ptr<AppRollingBack> rollback;
    // None: the launcher's own, over the XDG autostart entry, keeping the wish in userDefaults.
    std::shared_ptr<LoginItemManaging> loginItemManager;
    LauncherManifest manifest;
    std::shared_ptr<PreferencesStore> userDefaults;
    bool loadStoredStateSynchronously = false;
    // Quits the launcher; by default asks the application to quit.
    std::function<void()> quitHandler;
    // The launcher's own bundle; by default the main bundle's location.
    std::function<QUrl()> appBundleURLProvider;

    std::shared_ptr<ErrorReporting> errorReporter;
    std::shared_ptr<AppWorkspace> workspace;
    std::shared_ptr<SystemInformation> systemInformation;
    std::shared_ptr<MainBundle> mainBundle;
    // The language of every text the store makes; by default the system's first preferred one.
    std::optional<NimbaraLocale> locale;
    // Mends installs cut short by the launcher's end, before remembered installs are checked;
    // none: nothing is mended.
    std::shared_ptr<InterruptedInstallRecovering> installRecovery;
    // Milliseconds of a steady clock, which paces install progress; by default the system's.
    std::function<qint64()> clock;
};

// The launcher's single state object. Every screen reads its published fields and calls its
// operations; it owns the catalog shown, the install state of every app, where each installed
// app lives, what the launcher remembers having installed, and the one error message.
//
// Lives on the main thread. Operations that wait are coroutines resuming on the main thread;
// while one waits, other operations may run, so each re-reads what it needs after a wait.
class LauncherStore : public QObject {
    Q_OBJECT
    Q_PROPERTY(nimbara::LauncherManifest manifest READ manifest NOTIFY manifestChanged)
    Q_PROPERTY(QString selectedAppID READ selectedAppIDOrEmpty NOTIFY selectedAppIDChanged)
    Q_PROPERTY(bool onboardingComplete READ onboardingComplete WRITE setOnboardingComplete NOTIFY
                   onboardingCompleteChanged)
    Q_PROPERTY(bool includeBetaApps READ includeBetaApps WRITE setIncludeBetaApps NOTIFY
                   includeBetaAppsChanged)
    Q_PROPERTY(nimbara::NimbaraLocale locale READ locale WRITE setLocale NOTIFY localeChanged)
    Q_PROPERTY(QString errorMessage READ errorMessageOrEmpty NOTIFY errorMessageChanged)
    Q_PROPERTY(bool showingUninstallConfirmation READ showingUninstallConfirmation WRITE
                   setShowingUninstallConfirmation NOTIFY showingUninstallConfirmationChanged)
    Q_PROPERTY(bool uninstallInProgress READ uninstallInProgress NOTIFY uninstallInProgressChanged)
    Q_PROPERTY(bool showingFeedbackSheet READ showingFeedbackSheet WRITE setShowingFeedbackSheet
                   NOTIFY showingFeedbackSheetChanged)

public:
    using InstallStates = QHash<QString, AppInstallState>;
    using InstalledAppURLs = QHash<QString, QUrl>;

    // How an update of several apps ended; app ids in the order they were updated.
    struct UpdateAllOutcome {
        QStringList updated;
        QStringList failed;
        bool cancelled = false;
    };

    explicit LauncherStore(LauncherStoreWiring wiring, QObject* parent = nullptr);
    ~LauncherStore() override;

    // --- Published fields ---------------------------------------------------------------
    const LauncherManifest& manifest() const { return manifest_; }
    const std::optional<QString>& selectedAppID() const { return selectedAppID_; }
    void setSelectedAppID(std::optional<QString> appID);
    const InstallStates& installStates() const { return installStates_; }
    bool onboardingComplete() const { return onboardingComplete_; }
    void setOnboardingComplete(bool complete); // persisted on every assignment
    const QSet<QString>& selectedStarterAppIDs() const { return selectedStarterAppIDs_; }
    bool includeBetaApps() const { return includeBetaApps_; }
    void setIncludeBetaApps(bool include);
    const LoginItemState& launchAtLoginState() const { return launchAtLoginState_; }
    void setLaunchAtLoginState(LoginItemState state);
    // The user's launch-at-login wish as the login-item manager keeps it.
    bool launchAtLoginDesired() const;
    // Hands the wish to the login-item manager, then publishes the state it reached as
    // launchAtLoginState.
    void setLaunchAtLoginDesired(bool desired);
    // Shows the user where the apps that start at login are kept.
    void openLoginItemSettings();
    NimbaraLocale locale() const { return locale_; }
    void setLocale(NimbaraLocale locale);
    const std::optional<QString>& errorMessage() const { return errorMessage_; }
    void setErrorMessage(std::optional<QString> message);
    const InstalledAppURLs& installedAppURLs() const { return installedAppURLs_; }
    const std::optional<LauncherAnnouncement>& pendingAnnouncement() const {
        return pendingAnnouncement_;
    }
    bool showingUninstallConfirmation() const { return showingUninstallConfirmation_; }
    void setShowingUninstallConfirmation(bool showing);
    bool uninstallInProgress() const { return uninstallInProgress_; }
    bool showingFeedbackSheet() const { return showingFeedbackSheet_; }
    void setShowingFeedbackSheet(bool showing);
    const FeedbackSubmissionState& feedbackState() const { return feedbackState_; }
    void setFeedbackState(FeedbackSubmissionState state);

    // --- Derived values (computed on every read) ----------------------------------------
    // The selected visible app; with no selection, the first visible app.
    std::optional<AppManifestItem> selectedApp() const;
    // Onboarding is not complete and the catalog has published apps.
    bool requiresOnboarding() const;
    // Catalog apps with a location or an installed/updateAvailable state, in catalog order.
    QStringList managedAppIDs() const;
    AppInstallState state(const AppManifestItem& app) const;
    AppInstallState state(const QString& appID) const;
    // The launcher's own version, for diagnostics.
    QString launcherVersion() const;
    // The name of the current catalog's lifecycle kind.
    QString catalogLifecycleName() const;

    // --- Start-up and catalog ----------------------------------------------------------
    // Restores persisted state once per store.
    QCoro::Task<> loadStoredStateIfNeeded();
    // Refreshes the catalog; never fails to its caller (a failure keeps the last catalog). A call
    // made while a refresh runs joins it and returns when it ends, without fetching again.
    QCoro::Task<> loadManifest();
    // Re-validates the persisted installs of `apps`.
    void applyPersistedInstallStates(const QList<AppManifestItem>& apps);
    void recordInstalledApp(const InstalledApp& installed, const AppManifestItem& app);
    void clearPersistedInstall(const QString& appID);

    // --- Install and open --------------------------------------------------------------
    // Starts a background install (or update) of `app`, or sets errorMessage when it cannot
    // be installed now. Returns at once.
    void install(const AppManifestItem& app);
    // The same install, awaited: true once the app is installed; false when it was refused,
    // failed (errorMessage says why) or was cancelled.
    QCoro::Task<bool> installApp(AppManifestItem app);
    // Opens an installed app, or installs it when it is not installed. Returns at once: the
    // bundle is looked up and started on a worker thread. When no bundle is found, the app
    // counts as not installed and errorMessage says so.
    void open(const AppManifestItem& app);
    // Opens an installed app as open() does and answers, once the bundle was looked up, whether
    // one was found and started (or already runs). When none is found the app counts as not
    // installed and errorMessage says so. An app that is not installed is left alone (false):
    // unlike open(), this never installs.
    QCoro::Task<bool> openApp(AppManifestItem app);
    // Whether install(app) would accept the app now.
    bool canInstall(const AppManifestItem& app) const;
    // The running download of an app's install, while there is one.
    std::optional<InstallTransfer> installTransfer(const QString& appID) const;
    // An install of the app runs, has not been cancelled and has not begun to put the new copy
    // in place.
    bool canCancelInstall(const QString& appID) const;
    // Asks the app's running install to stop. Once it has stopped, the app is back in the state
    // its recorded install gives it (installed, updateAvailable or notInstalled), without an
    // error message. An install that has begun to put the new copy in place finishes anyway.
    void cancelInstall(const QString& appID);

    // --- Updates of several apps, and rollbacks ------------------------------------------
    // The apps with an update that can be installed now, in catalog order.
    QList<AppManifestItem> updatableApps() const;
    // Updates `appIDs` (every updatable app when empty) one after another through install's
    // path; an app that cannot be updated when its turn comes counts as failed, one being
    // installed already is left to that install. A failure does
    // not stop the others; at the end errorMessage names the apps that failed, once. One update
    // of several apps runs at a time: a second call while one runs returns at once, as cancelled.
    QCoro::Task<UpdateAllOutcome> updateAll(QStringList appIDs = {});
    bool updateAllInProgress() const { return updateAll_.has_value(); }
    // Cancels the running app's install and leaves the apps after it as they are; the apps
    // already updated stay updated.
    void cancelUpdateAll();
    // The version the app can be rolled back to: its kept copy's, while the app is installed at
    // another version and nothing runs for it.
    std::optional<QString> rollbackVersion(const QString& appID) const;
    // Puts the app back to its kept copy: true once done; false when refused or failed
    // (errorMessage says why), with the installed app as it was.
    QCoro::Task<bool> rollBack(QString appID);
    // Reads again which apps have a kept copy.
    QCoro::Task<> refreshKeptVersions();

    // --- Removal -----------------------------------------------------------------------
    QCoro::Task<> uninstall(QString appID, bool deleteData);
    QCoro::Task<> uninstallEverythingAndRemoveNimbara(bool deleteData);
    void clearAllNimbaraUserDefaults();

    // --- Announcements and onboarding --------------------------------------------------
    void updatePendingAnnouncement(bool establishBaseline);
    void acknowledgePendingAnnouncement();
    void selectPendingAnnouncementApp();
    void toggleStarterSelection(const AppManifestItem& app);
    void finishOnboarding();

    // --- Feedback ----------------------------------------------------------------------
    QCoro::Task<> submitFeedback(FeedbackType type, QString title, QString description,
                                 std::optional<QString> appID);
    FeedbackDiagnostics feedbackDiagnostics(const std::optional<AppManifestItem>& relatedApp) const;

Q_SIGNALS:
    void manifestChanged();
    void selectedAppIDChanged();
    void installStatesChanged();
    void onboardingCompleteChanged();
    void selectedStarterAppIDsChanged();
    void includeBetaAppsChanged();
    void launchAtLoginStateChanged();
    void launchAtLoginDesiredChanged();
    void localeChanged();
    void errorMessageChanged();
    void installedAppURLsChanged();
    void pendingAnnouncementChanged();
    void showingUninstallConfirmationChanged();
    void uninstallInProgressChanged();
    void showingFeedbackSheetChanged();
    void feedbackStateChanged();
    // A running install's transfer or whether it can be cancelled changed, or one started or ended.
    void runningInstallsChanged();
    // An update of several apps started or ended.
    void updateAllInProgressChanged();
    // The kept copies changed.
    void keptVersionsChanged();

private:
    QString selectedAppIDOrEmpty() const { return selectedAppID_.value_or(QString()); }
    QString errorMessageOrEmpty() const { return errorMessage_.value_or(QString()); }

    // One persisted install to re-validate, and what the check found.
    struct PersistedInstall {
        AppManifestItem app;
        QString installedVersion;
        std::optional<QString> storedPath;
    };
    struct Revalidation {
        std::optional<QUrl> location;
        bool bundleStillThere = false;
        std::exception_ptr validationError;
    };

    static LauncherManifest withUniqueAppIDs(LauncherManifest manifest);
    template <typename T, typename Signal> void assign(T& field, T value, Signal changed);
    QString text(CopyKey key, const CopyValues& values = {}) const;

    void setManifest(LauncherManifest manifest);
    void setInstallState(const QString& appID, AppInstallState state);
    void setInstalledAppURLs(InstalledAppURLs urls);
    void setPendingAnnouncement(std::optional<LauncherAnnouncement> announcement);
    void setUninstallInProgress(bool inProgress);
    void saveSeenAnnouncementIDs();

    QList<PersistedInstall> persistedInstalls(const QList<AppManifestItem>& apps) const;
    static QList<Revalidation> revalidate(const QList<PersistedInstall>& installs,
                                          std::shared_ptr<InstalledCodeValidating> validator);
    void applyRevalidation(const QList<AppManifestItem>& apps,
                           const QList<PersistedInstall>& installs,
                           const QList<Revalidation>& results);
    QCoro::Task<> revalidateInBackground(QList<AppManifestItem> apps);

    AppRemovalRequest removalRequest(const AppManifestItem& app, bool deleteData) const;
    QCoro::Task<AppRemovalOutcome> removeApp(AppRemovalRequest request);
    const AppManifestItem* catalogApp(const QString& appID) const;
    void reportError(const std::exception& error, const ErrorReportContext& context) const;
    // What a failure says, for the user and for events.
    struct FailureText {
        QString description;
        QString rendering;
    };
    // Reports `failure` with `context` when it is a std::exception (anything else can only be
    // logged, which the caller does) and answers what it says.
    FailureText reportFailure(const std::exception_ptr& failure,
                              const ErrorReportContext& context) const;
    // One install in progress: how to stop it and how far it has come.
    struct RunningInstall {
        CancellationToken cancellation;
        InstallProgressMeter meter;
    };
    void takeProgress(const QString& appID, const std::shared_ptr<RunningInstall>& running,
                      const InstallProgress& report);
    void endRunningInstall(const QString& appID, const std::shared_ptr<RunningInstall>& running);
    // The state the recorded install of `app` gives it, ignoring any install in progress.
    AppInstallState recordedState(const AppManifestItem& app) const;
    static AppInstallState installedState(const QString& installed, const QString& latest);
    QList<RecordedInstall> recordedInstalls() const;
    // Marks the app as installing when install(app) would accept it, else sets errorMessage.
    bool beginInstall(const AppManifestItem& app);
    // Runs the install begun by beginInstall; true once installed. A failure sets errorMessage
    // only when `reportFailure`.
    static QCoro::Task<bool> runInstall(QPointer<LauncherStore> store, AppManifestItem app,
                                        bool reportFailure = true);
    static QCoro::Task<bool> runRollBack(QPointer<LauncherStore> store, AppManifestItem app);
    // Runs on a worker: opens the recorded bundle when it still exists, else the one the
    // workspace finds. False when there is none.
    static bool findAndOpen(std::optional<QUrl> recorded, std::shared_ptr<AppWorkspace> workspace,
                            QString bundleID);

    // The running catalog refresh and the calls that joined it. Shared with the refresh, which
    // resumes them when it ends, also after the store has gone.
    struct CatalogLoad {
        std::vector<std::coroutine_handle<>> waiters;
        void finish();

        struct Join {
            std::shared_ptr<CatalogLoad> load;
            bool await_ready() const noexcept { return false; }
            void await_suspend(std::coroutine_handle<> handle) { load->waiters.push_back(handle); }
            void await_resume() const noexcept {}
        };
    };

    LauncherStoreWiring wiring_;

    LauncherManifest manifest_;
    std::optional<QString> selectedAppID_;
    InstallStates installStates_;
    bool onboardingComplete_ = false;
    QSet<QString> selectedStarterAppIDs_;
    bool includeBetaApps_ = true;
    LoginItemState launchAtLoginState_;
    NimbaraLocale locale_ = NimbaraLocale::en;
    std::optional<QString> errorMessage_;
    InstalledAppURLs installedAppURLs_;
    std::optional<LauncherAnnouncement> pendingAnnouncement_;
    bool showingUninstallConfirmation_ = false;
    bool uninstallInProgress_ = false;
    bool showingFeedbackSheet_ = false;
    FeedbackSubmissionState feedbackState_;

    QSet<QString> seenAnnouncementIDs_;
    bool announcementBaselineEstablished_ = false;
    bool loadedStoredState_ = false;
    std::shared_ptr<CatalogLoad> runningCatalogLoad_;
    QHash<QString, std::shared_ptr<RunningInstall>> runningInstalls_;
    // The running update of several apps: cancelled by cancelUpdateAll.
    std::optional<CancellationToken> updateAll_;
    QHash<QString, QString> keptVersions_; // by app id
};

// Preferences keys of the store.
namespace StoreKeys {
inline constexpr char installedVersions[] = "nimbara.installedVersions";
inline constexpr char installedPaths[] = "nimbara.installedPaths";
inline constexpr char onboardingComplete[] = "nimbara.onboardingComplete";
inline constexpr char seenAnnouncementIDs[] = "nimbara.seenAnnouncementIDs";
inline constexpr char announcementBaselineEstablished[] = "nimbara.announcementBaselineEstablished";
inline constexpr char prefix[] = "nimbara.";
} // namespace StoreKeys

} // namespace nimbara

Q_DECLARE_METATYPE(nimbara::LauncherManifest)
Q_DECLARE_METATYPE(nimbara::NimbaraLocale)
