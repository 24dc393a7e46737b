#include "core/error.h"
#include "core/logging.h"
#include "platform/preferences_store.h"
#include "store/launcher_store.h"

namespace nimbara {

namespace {

// A removal that left something behind, reported with the uninstall flows.
class UninstallProblems : public Error {
public:
    UninstallProblems(int code, const QString& joined)
        : Error(joined, QStringLiteral("NSError(domain: \"nimbara.uninstall\", code: %1, %2)")
                            .arg(code)
                            .arg(renderedString(joined))) {}
};

} // namespace

AppRemovalRequest LauncherStore::removalRequest(const AppManifestItem& app, bool deleteData) const {
    std::optional<QUrl> location;
    if (installedAppURLs_.contains(app.id)) {
        location = installedAppURLs_.value(app.id);
    }
    return {app.id, app.bundleId, location, deleteData};
}

QCoro::Task<AppRemovalOutcome> LauncherStore::removeApp(AppRemovalRequest request) {
    // The uninstaller returns its problems as data; one that throws anyway counts as a problem.
    const std::shared_ptr<AppUninstalling> uninstaller = wiring_.uninstaller;
    const QString appID = request.appID;
    try {
        co_return co_await uninstaller->removeApp(std::move(request));
    } catch (const std::exception& error) {
        qCWarning(logStore).noquote() << "removing" << appID << "failed:" << failureReason(error);
        co_return AppRemovalOutcome{appID, false, {}, {errorDescription(error)}};
    } catch (...) {
        qCWarning(logStore).noquote() << "removing" << appID << "failed: unknown error";
        co_return AppRemovalOutcome{appID, false, {}, {QStringLiteral("unknown error")}};
    }
}

QCoro::Task<> LauncherStore::uninstall(QString appID, bool deleteData) {
    const AppManifestItem* found = catalogApp(appID);
    if (!found) {
        co_return;
    }
    const AppManifestItem app = *found;
    setUninstallInProgress(true);
    QPointer<LauncherStore> self(this);
    const AppRemovalOutcome outcome = co_await removeApp(removalRequest(app, deleteData));
    if (!self) {
        co_return;
    }
    clearPersistedInstall(appID);
    setInstallState(appID, AppInstallState::notInstalled());
    if (const std::shared_ptr<AppRollingBack> rollback = wiring_.rollback) {
        QCoro::Task<> discarding = rollback->discardKeptCopy(appID);
        co_await std::move(discarding);
        if (!self) {
            co_return;
        }
        QCoro::Task<> refreshing = refreshKeptVersions();
        co_await std::move(refreshing);
        if (!self) {
            co_return;
        }
    }
    if (!outcome.problems.isEmpty()) {
        const QString reason = outcome.problems.join(QStringLiteral("; "));
        setErrorMessage(
            text(CopyKey::uninstallPartialFailure,
                 {{QStringLiteral("app"), app.name}, {QStringLiteral("reason"), reason}}));
        reportError(UninstallProblems(1, reason),
                    {{QStringLiteral("flow"), QStringLiteral("uninstall")},
                     {QStringLiteral("app"), appID}});
    }
    setUninstallInProgress(false);
}

QCoro::Task<> LauncherStore::uninstallEverythingAndRemoveNimbara(bool deleteData) {
    setUninstallInProgress(true);
    QPointer<LauncherStore> self(this);
    QStringList failures;
    for (const QString& id : managedAppIDs()) {
        const AppManifestItem* found = catalogApp(id);
        if (!found) {
            continue;
        }
        const AppManifestItem app = *found;
        const AppRemovalOutcome outcome = co_await removeApp(removalRequest(app, deleteData));
        if (!self) {
            co_return;
        }
        clearPersistedInstall(id);
        setInstallState(id, AppInstallState::notInstalled());
        for (const QString& problem : outcome.problems) {
            failures.append(app.name + QStringLiteral(": ") + problem);
        }
    }

    if (const std::shared_ptr<AppRollingBack> rollback = wiring_.rollback) {
        QCoro::Task<> discarding = rollback->discardAllKeptCopies();
        co_await std::move(discarding);
        if (!self) {
            co_return;
        }
    }
    clearAllNimbaraUserDefaults();
    setLaunchAtLoginDesired(false);
    const SelfTrashResult trashed = wiring_.uninstaller->trashSelf(wiring_.appBundleURLProvider());
    if (trashed.kind == SelfTrashResult::Case::failed) {
        failures.append(QStringLiteral("Nimbara.app: ") + trashed.message);
    }

    if (failures.isEmpty()) {
        wiring_.quitHandler();
        setUninstallInProgress(false);
        co_return;
    }
    const QString reason = failures.join(QStringLiteral("; "));
    setErrorMessage(
        text(CopyKey::uninstallEverythingPartialFailure, {{QStringLiteral("reason"), reason}}));
    reportError(UninstallProblems(2, reason),
                {{QStringLiteral("flow"), QStringLiteral("uninstall_everything")}});
    setUninstallInProgress(false);
}

void LauncherStore::clearAllNimbaraUserDefaults() {
    PreferencesStore& defaults = *wiring_.userDefaults;
    for (const char* key :
         {StoreKeys::installedVersions, StoreKeys::installedPaths, StoreKeys::seenAnnouncementIDs,
          StoreKeys::announcementBaselineEstablished}) {
        defaults.removeObjectForKey(QLatin1String(key));
    }
    for (const QString& key : defaults.keys()) {
        if (key.startsWith(QLatin1String(StoreKeys::prefix))) {
            defaults.removeObjectForKey(key);
        }
    }
    setInstalledAppURLs({});
}

} // namespace nimbara
