#include "catalog/manifest_policy.h"
#include "catalog/version_order.h"
#include "core/logging.h"
#include "install/installed_bundle_metadata.h"
#include "platform/preferences_store.h"
#include "store/launcher_store.h"

#include <QCoreApplication>
#include <QCoro/QCoroFuture>
#include <QCoro/QCoroTimer>
#include <QFileInfo>
#include <QScopeGuard>
#include <QtConcurrent>
#include <chrono>

namespace nimbara {

namespace {

QMap<QString, QString> loadMap(const PreferencesStore& defaults, const char* key) {
    return loadStringDictionary(defaults, QLatin1String(key));
}

void saveMap(PreferencesStore& defaults, const char* key, const QMap<QString, QString>& map) {
    saveStringDictionary(defaults, QLatin1String(key), map);
}

std::optional<QString> valueOf(const QMap<QString, QString>& map, const QString& key) {
    const auto found = map.constFind(key);
    return found == map.constEnd() ? std::nullopt : std::optional(*found);
}

} // namespace

QCoro::Task<> LauncherStore::loadStoredStateIfNeeded() {
    if (loadedStoredState_) {
        co_return;
    }
    // Set before the first wait, so that a second call made meanwhile does nothing.
    loadedStoredState_ = true;
    QPointer<LauncherStore> self(this);
    co_await QCoro::sleepFor(std::chrono::milliseconds(0)); // let queued work run first
    if (!self) {
        co_return;
    }
    if (const std::shared_ptr<InterruptedInstallRecovering> recovery = wiring_.installRecovery) {
        // Moves and removals of bundles block, so a worker does them; the recorded installs
        // are checked only once what an interrupted install left has been put right.
        QFuture<void> recovering = QtConcurrent::run(
            [recovery, recorded = recordedInstalls()] { recovery->recover(recorded); });
        co_await recovering;
        if (!self) {
            co_return;
        }
    }
    co_await revalidateInBackground(manifest_.apps);
    if (!self) {
        co_return;
    }
    QCoro::Task<> listingKeptCopies = refreshKeptVersions();
    co_await std::move(listingKeptCopies);
    if (!self) {
        co_return;
    }
    updatePendingAnnouncement(false);
    LoginItemManaging& manager = *wiring_.loginItemManager;
    if (!manager.hasReconciledAfterLaunch()) {
        manager.setHasReconciledAfterLaunch(true);
        manager.reconcile();
    }
    setLaunchAtLoginState(manager.state());
}

void LauncherStore::CatalogLoad::finish() {
    std::vector<std::coroutine_handle<>> resumed;
    resumed.swap(waiters);
    // Resumed from the event loop, not from inside the ending load.
    for (std::coroutine_handle<> handle : resumed) {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [handle] { handle.resume(); }, Qt::QueuedConnection);
    }
}

QCoro::Task<> LauncherStore::loadManifest() {
    if (const std::shared_ptr<CatalogLoad> running = runningCatalogLoad_) {
        // A load asked for while one runs joins it: a second fetch could finish after the
        // first and overwrite the newer catalog with an older answer.
        CatalogLoad::Join join{running};
        co_await join;
        co_return;
    }
    const auto load = std::make_shared<CatalogLoad>();
    runningCatalogLoad_ = load;
    QPointer<LauncherStore> self(this);
    const auto ended = qScopeGuard([self, load] {
        if (self && self->runningCatalogLoad_ == load) {
            self->runningCatalogLoad_.reset();
        }
        load->finish();
    });
    const std::shared_ptr<ManifestLoading> loader = wiring_.manifestLoader;
    std::optional<LauncherManifest> loaded;
    try {
        loaded = co_await loader->loadManifest(locale_);
    } catch (...) {
        // A failed refresh keeps the last good catalog; only the fallback message is shown.
        qCWarning(logStore).noquote() << "catalog load failed:" << currentFailureReason();
    }
    if (!self) {
        co_return;
    }
    if (!loaded) {
        setErrorMessage(text(CopyKey::errorManifestFallback));
        if (ManifestPolicy::publishedApps(manifest_, includeBetaApps_).isEmpty()) {
            setOnboardingComplete(true);
        }
        co_return;
    }

    setManifest(withUniqueAppIDs(*std::move(loaded)));
    bool added = false;
    for (const AppManifestItem& app : manifest_.apps) {
        if (!installStates_.contains(app.id)) {
            installStates_.insert(app.id, AppInstallState::notInstalled());
            added = true;
        }
    }
    if (added) {
        Q_EMIT installStatesChanged();
    }

    co_await revalidateInBackground(manifest_.apps);
    if (!self) {
        co_return;
    }

    if (!selectedAppID_ || !catalogApp(*selectedAppID_)) {
        const auto published = ManifestPolicy::publishedApps(manifest_, includeBetaApps_);
        const auto visible = ManifestPolicy::visibleApps(manifest_, includeBetaApps_);
        setSelectedAppID(!published.isEmpty() ? std::optional(published.first().id)
                         : !visible.isEmpty() ? std::optional(visible.first().id)
                                              : std::nullopt);
    }
    updatePendingAnnouncement(true);
    if (ManifestPolicy::publishedApps(manifest_, includeBetaApps_).isEmpty()) {
        setOnboardingComplete(true);
    }
}

void LauncherStore::applyPersistedInstallStates(const QList<AppManifestItem>& apps) {
    const QList<PersistedInstall> installs = persistedInstalls(apps);
    applyRevalidation(apps, installs, revalidate(installs, wiring_.installedCodeValidator));
}

QCoro::Task<> LauncherStore::revalidateInBackground(QList<AppManifestItem> apps) {
    const QList<PersistedInstall> installs = persistedInstalls(apps);
    if (installs.isEmpty()) {
        applyRevalidation(apps, installs, {});
        co_return;
    }
    // Reading bundles and checking signatures blocks, so it runs on a worker thread.
    QPointer<LauncherStore> self(this);
    const QList<Revalidation> results = co_await QtConcurrent::run(
        &LauncherStore::revalidate, installs, wiring_.installedCodeValidator);
    if (self) {
        applyRevalidation(apps, installs, results);
    }
}

QList<LauncherStore::PersistedInstall>
LauncherStore::persistedInstalls(const QList<AppManifestItem>& apps) const {
    const PreferencesStore& defaults = *wiring_.userDefaults;
    const auto versions = loadMap(defaults, StoreKeys::installedVersions);
    const auto paths = loadMap(defaults, StoreKeys::installedPaths);
    QList<PersistedInstall> installs;
    for (const AppManifestItem& app : apps) {
        if (const auto version = valueOf(versions, app.id)) {
            installs.append({app, *version, valueOf(paths, app.id)});
        }
    }
    return installs;
}

QList<LauncherStore::Revalidation>
LauncherStore::revalidate(const QList<PersistedInstall>& installs,
                          std::shared_ptr<InstalledCodeValidating> validator) {
    QList<Revalidation> results;
    for (const PersistedInstall& install : installs) {
        Revalidation result;
        if (install.storedPath && QFileInfo::exists(*install.storedPath)) {
            result.bundleStillThere = true;
            const QUrl url = QUrl::fromLocalFile(*install.storedPath);
            try {
                const InstalledBundleMetadata metadata = loadInstalledBundleMetadata(url);
                if (metadata.bundleIdentifier == install.app.bundleId &&
                    metadata.shortVersion == install.installedVersion) {
                    try {
                        validator->validate(url, install.app.bundleId, install.installedVersion);
                        result.location = url;
                    } catch (...) {
                        result.validationError = std::current_exception();
                    }
                }
            } catch (...) {
                // An unreadable Info.plist is a mismatch like any other; it is not reported.
                qCWarning(logStore).noquote()
                    << "cannot read the bundle of" << install.app.id << "at" << url.toLocalFile()
                    << ":" << currentFailureReason();
            }
        }
        results.append(result);
    }
    return results;
}

void LauncherStore::applyRevalidation(const QList<AppManifestItem>& apps,
                                      const QList<PersistedInstall>& installs,
                                      const QList<Revalidation>& results) {
    PreferencesStore& defaults = *wiring_.userDefaults;
    // Read again: an install may have been recorded while the bundles were being checked.
    const auto versionsAsRead = loadMap(defaults, StoreKeys::installedVersions);
    const auto pathsAsRead = loadMap(defaults, StoreKeys::installedPaths);
    auto versions = versionsAsRead;
    auto paths = pathsAsRead;
    InstalledAppURLs locations;

    QSet<QString> checked;
    for (qsizetype i = 0; i < installs.size(); ++i) {
        const PersistedInstall& install = installs[i];
        const Revalidation& result = results[i];
        const QString& id = install.app.id;
        checked.insert(id);
        if (valueOf(versions, id) != install.installedVersion ||
            valueOf(paths, id) != install.storedPath) {
            // Recorded anew while checking: the newer record stands.
            if (installedAppURLs_.contains(id)) {
                locations.insert(id, installedAppURLs_.value(id));
            }
            continue;
        }
        // A running install owns its app's state until it ends.
        const bool installing = state(id).kind() == AppInstallState::Case::installing;
        if (result.location) {
            locations.insert(id, *result.location);
            if (!installing) {
                setInstallState(id, installedState(install.installedVersion, install.app.version));
            }
            continue;
        }
        if (result.validationError) {
            qCWarning(logStore).noquote()
                << "the installed bundle of" << id
                << "failed its check:" << failureReason(result.validationError);
            reportFailure(
                result.validationError,
                {{QStringLiteral("flow"), QStringLiteral("persisted_install_revalidation")},
                 {QStringLiteral("app"), id}});
        }
        versions.remove(id);
        paths.remove(id);
        if (!installing) {
            setInstallState(id, AppInstallState::notInstalled());
        }
        if (install.storedPath && result.bundleStillThere) {
            setErrorMessage(
                text(CopyKey::errorReinstallRequired, {{QStringLiteral("app"), install.app.name}}));
        }
    }
    // An app of the list that was not checked but has a record now was installed meanwhile.
    for (const AppManifestItem& app : apps) {
        if (!checked.contains(app.id) && versions.contains(app.id) &&
            installedAppURLs_.contains(app.id)) {
            locations.insert(app.id, installedAppURLs_.value(app.id));
        }
    }

    setInstalledAppURLs(std::move(locations));
    if (versions != versionsAsRead) {
        saveMap(defaults, StoreKeys::installedVersions, versions);
    }
    if (paths != pathsAsRead) {
        saveMap(defaults, StoreKeys::installedPaths, paths);
    }
}

AppInstallState LauncherStore::installedState(const QString& installed, const QString& latest) {
    const bool newer =
        installed != latest && compareVersions(latest, installed) == VersionOrder::descending;
    return newer ? AppInstallState::updateAvailable(installed, latest)
                 : AppInstallState::installed(installed);
}

AppInstallState LauncherStore::recordedState(const AppManifestItem& app) const {
    const auto version =
        valueOf(loadMap(*wiring_.userDefaults, StoreKeys::installedVersions), app.id);
    if (!version || !installedAppURLs_.contains(app.id)) {
        return AppInstallState::notInstalled();
    }
    const AppManifestItem* current = catalogApp(app.id);
    return installedState(*version, current ? current->version : app.version);
}

QList<RecordedInstall> LauncherStore::recordedInstalls() const {
    const PreferencesStore& defaults = *wiring_.userDefaults;
    const auto versions = loadMap(defaults, StoreKeys::installedVersions);
    const auto paths = loadMap(defaults, StoreKeys::installedPaths);
    QList<RecordedInstall> recorded;
    for (auto it = paths.cbegin(); it != paths.cend(); ++it) {
        if (const auto version = valueOf(versions, it.key())) {
            recorded.append({it.value(), *version});
        }
    }
    return recorded;
}

void LauncherStore::recordInstalledApp(const InstalledApp& installed, const AppManifestItem& app) {
    setInstallState(app.id, AppInstallState::installed(installed.version));
    InstalledAppURLs urls = installedAppURLs_;
    urls.insert(app.id, installed.url);
    setInstalledAppURLs(std::move(urls));

    PreferencesStore& defaults = *wiring_.userDefaults;
    auto versions = loadMap(defaults, StoreKeys::installedVersions);
    versions.insert(app.id, installed.version);
    saveMap(defaults, StoreKeys::installedVersions, versions);
    auto paths = loadMap(defaults, StoreKeys::installedPaths);
    paths.insert(app.id, installed.url.toLocalFile());
    saveMap(defaults, StoreKeys::installedPaths, paths);
}

void LauncherStore::clearPersistedInstall(const QString& appID) {
    InstalledAppURLs urls = installedAppURLs_;
    urls.remove(appID);
    setInstalledAppURLs(std::move(urls));

    PreferencesStore& defaults = *wiring_.userDefaults;
    auto versions = loadMap(defaults, StoreKeys::installedVersions);
    versions.remove(appID);
    saveMap(defaults, StoreKeys::installedVersions, versions);
    auto paths = loadMap(defaults, StoreKeys::installedPaths);
    paths.remove(appID);
    saveMap(defaults, StoreKeys::installedPaths, paths);
}

} // namespace nimbara
