#include "store/launcher_store.h"

#include "catalog/manifest_policy.h"
#include "core/logging.h"
#include "platform/main_bundle.h"
#include "platform/preferences_store.h"
#include "platform/preferred_languages.h"
#include "services/launcher_login_item_manager.h"
#include "services/user_defaults_login_item_preference_store.h"
#include "services/xdg_autostart_login_item_adapter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <stdexcept>

namespace nimbara {

namespace {

template <typename T> void require(const std::shared_ptr<T>& collaborator, const char* name) {
    if (!collaborator) {
        throw std::invalid_argument(std::string("LauncherStore needs a ") + name);
    }
}

} // namespace

LauncherManifest LauncherStore::withUniqueAppIDs(LauncherManifest manifest) {
    // App ids identify install states, selections and persisted installs, so they must be
    // unique. A catalog that lists an id twice keeps its first occurrence; later ones are
    // dropped rather than allowed to overwrite the first one's state.
    QSet<QString> seen;
    QList<AppManifestItem> unique;
    unique.reserve(manifest.apps.size());
    for (AppManifestItem& app : manifest.apps) {
        if (!seen.contains(app.id)) {
            seen.insert(app.id);
            unique.append(std::move(app));
        }
    }
    manifest.apps = std::move(unique);
    return manifest;
}

LauncherStore::LauncherStore(LauncherStoreWiring wiring, QObject* parent)
    : QObject(parent), wiring_(std::move(wiring)) {
    require(wiring_.manifestLoader, "manifest loader");
    require(wiring_.installer, "installer");
    require(wiring_.uninstaller, "uninstaller");
    require(wiring_.eventSink, "event sink");
    require(wiring_.feedbackClient, "feedback client");
    require(wiring_.installedCodeValidator, "code validator");
    require(wiring_.userDefaults, "preferences store");
    if (!wiring_.loginItemManager) {
        wiring_.loginItemManager = std::make_shared<LauncherLoginItemManager>(
            std::make_shared<XdgAutostartLoginItemAdapter>(),
            std::make_shared<UserDefaultsLoginItemPreferenceStore>(wiring_.userDefaults));
    }
    if (!wiring_.quitHandler) {
        wiring_.quitHandler = [] {
            QCoreApplication::quit();
        };
    }
    if (!wiring_.clock) {
        wiring_.clock = [] {
            static const QElapsedTimer started = [] {
                QElapsedTimer timer;
                timer.start();
                return timer;
            }();
            return started.elapsed();
        };
    }
    if (!wiring_.appBundleURLProvider) {
        wiring_.appBundleURLProvider = [bundle = wiring_.mainBundle] {
            return bundle ? bundle->bundleURL() : QUrl();
        };
    }

    PreferencesStore& defaults = *wiring_.userDefaults;
    manifest_ = withUniqueAppIDs(wiring_.manifest);
    if (!manifest_.apps.isEmpty()) {
        selectedAppID_ = manifest_.apps.first().id;
    }
    for (const AppManifestItem& app : manifest_.apps) {
        installStates_.insert(app.id, AppInstallState::notInstalled());
        selectedStarterAppIDs_.insert(app.id);
    }
    onboardingComplete_ = defaults.boolForKey(QLatin1String(StoreKeys::onboardingComplete));
    launchAtLoginState_ = wiring_.loginItemManager->state();
    locale_ = wiring_.locale.value_or(systemLocale());
    const auto paths = loadStringDictionary(defaults, QLatin1String(StoreKeys::installedPaths));
    for (auto it = paths.cbegin(); it != paths.cend(); ++it) {
        installedAppURLs_.insert(it.key(), QUrl::fromLocalFile(it.value()));
    }

    const QStringList seen =
        defaults.stringArrayForKey(QLatin1String(StoreKeys::seenAnnouncementIDs))
            .value_or(QStringList());
    seenAnnouncementIDs_ = QSet<QString>(seen.cbegin(), seen.cend());
    announcementBaselineEstablished_ =
        defaults.boolForKey(QLatin1String(StoreKeys::announcementBaselineEstablished));

    loadedStoredState_ = wiring_.loadStoredStateSynchronously;
    if (loadedStoredState_) {
        if (wiring_.installRecovery) {
            wiring_.installRecovery->recover(recordedInstalls());
        }
        applyPersistedInstallStates(manifest_.apps);
    }
    updatePendingAnnouncement(false);
}

LauncherStore::~LauncherStore() = default;

// --- Published fields ----------------------------------------------------------------------

template <typename T, typename Signal>
void LauncherStore::assign(T& field, T value, Signal changed) {
    if (field == value) {
        return;
    }
    field = std::move(value);
    Q_EMIT(this->*changed)();
}

void LauncherStore::setManifest(LauncherManifest manifest) {
    assign(manifest_, std::move(manifest), &LauncherStore::manifestChanged);
}

void LauncherStore::setSelectedAppID(std::optional<QString> appID) {
    assign(selectedAppID_, std::move(appID), &LauncherStore::selectedAppIDChanged);
}

void LauncherStore::setInstallState(const QString& appID, AppInstallState state) {
    const auto found = installStates_.constFind(appID);
    if (found != installStates_.constEnd() && *found == state) {
        return;
    }
    installStates_.insert(appID, std::move(state));
    Q_EMIT installStatesChanged();
}

void LauncherStore::setOnboardingComplete(bool complete) {
    wiring_.userDefaults->setBool(QLatin1String(StoreKeys::onboardingComplete), complete);
    assign(onboardingComplete_, complete, &LauncherStore::onboardingCompleteChanged);
}

void LauncherStore::setIncludeBetaApps(bool include) {
    assign(includeBetaApps_, include, &LauncherStore::includeBetaAppsChanged);
}

void LauncherStore::setLaunchAtLoginState(LoginItemState state) {
    assign(launchAtLoginState_, std::move(state), &LauncherStore::launchAtLoginStateChanged);
}

bool LauncherStore::launchAtLoginDesired() const {
    return wiring_.loginItemManager->desiredEnabled();
}

void LauncherStore::setLaunchAtLoginDesired(bool desired) {
    LoginItemManaging* manager = wiring_.loginItemManager.get();
    const bool before = manager->desiredEnabled();
    manager->setDesired(desired);
    setLaunchAtLoginState(manager->state());
    if (manager->desiredEnabled() != before) {
        Q_EMIT launchAtLoginDesiredChanged();
    }
}

void LauncherStore::openLoginItemSettings() {
    wiring_.loginItemManager->openApprovalSettings();
}

void LauncherStore::setLocale(NimbaraLocale locale) {
    assign(locale_, locale, &LauncherStore::localeChanged);
}

void LauncherStore::setErrorMessage(std::optional<QString> message) {
    assign(errorMessage_, std::move(message), &LauncherStore::errorMessageChanged);
}

void LauncherStore::setInstalledAppURLs(InstalledAppURLs urls) {
    assign(installedAppURLs_, std::move(urls), &LauncherStore::installedAppURLsChanged);
}

void LauncherStore::setPendingAnnouncement(std::optional<LauncherAnnouncement> announcement) {
    assign(pendingAnnouncement_, std::move(announcement),
           &LauncherStore::pendingAnnouncementChanged);
}

void LauncherStore::setShowingUninstallConfirmation(bool showing) {
    assign(showingUninstallConfirmation_, showing,
           &LauncherStore::showingUninstallConfirmationChanged);
}

void LauncherStore::setUninstallInProgress(bool inProgress) {
    assign(uninstallInProgress_, inProgress, &LauncherStore::uninstallInProgressChanged);
}

void LauncherStore::setShowingFeedbackSheet(bool showing) {
    assign(showingFeedbackSheet_, showing, &LauncherStore::showingFeedbackSheetChanged);
}

void LauncherStore::setFeedbackState(FeedbackSubmissionState state) {
    assign(feedbackState_, std::move(state), &LauncherStore::feedbackStateChanged);
}

// --- Derived values ------------------------------------------------------------------------

std::optional<AppManifestItem> LauncherStore::selectedApp() const {
    const QList<AppManifestItem> visible = ManifestPolicy::visibleApps(manifest_, includeBetaApps_);
    if (!selectedAppID_) {
        return visible.isEmpty() ? std::nullopt : std::optional(visible.first());
    }
    for (const AppManifestItem& app : visible) {
        if (app.id == *selectedAppID_) {
            return app;
        }
    }
    return std::nullopt;
}

bool LauncherStore::requiresOnboarding() const {
    return !onboardingComplete_ &&
           !ManifestPolicy::publishedApps(manifest_, includeBetaApps_).isEmpty();
}

QStringList LauncherStore::managedAppIDs() const {
    QStringList ids;
    for (const AppManifestItem& app : manifest_.apps) {
        const AppInstallState::Case kind = state(app.id).kind();
        if (installedAppURLs_.contains(app.id) || kind == AppInstallState::Case::installed ||
            kind == AppInstallState::Case::updateAvailable) {
            ids.append(app.id);
        }
    }
    return ids;
}

AppInstallState LauncherStore::state(const AppManifestItem& app) const {
    return state(app.id);
}

AppInstallState LauncherStore::state(const QString& appID) const {
    return installStates_.value(appID, AppInstallState::notInstalled());
}

QString LauncherStore::launcherVersion() const {
    return wiring_.mainBundle ? nimbara::launcherVersion(*wiring_.mainBundle)
                              : builtLauncherVersion();
}

QString LauncherStore::catalogLifecycleName() const {
    return catalogLifecycleKindName(
        ManifestPolicy::catalogLifecycle(manifest_, includeBetaApps_).kind);
}

// --- Helpers -------------------------------------------------------------------------------

QString LauncherStore::text(CopyKey key, const CopyValues& values) const {
    return NimbaraCopy::text(key, locale_, values);
}

const AppManifestItem* LauncherStore::catalogApp(const QString& appID) const {
    for (const AppManifestItem& app : manifest_.apps) {
        if (app.id == appID) {
            return &app;
        }
    }
    return nullptr;
}

void LauncherStore::reportError(const std::exception& error,
                                const ErrorReportContext& context) const {
    if (wiring_.errorReporter) {
        wiring_.errorReporter->report(error, context);
    }
}

LauncherStore::FailureText LauncherStore::reportFailure(const std::exception_ptr& failure,
                                                        const ErrorReportContext& context) const {
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& error) {
        reportError(error, context);
        return {errorDescription(error), errorRendering(error)};
    } catch (...) {
        return {QStringLiteral("unknown error"), QStringLiteral("unknown error")};
    }
}

} // namespace nimbara
