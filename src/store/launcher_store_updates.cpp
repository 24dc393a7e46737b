#include "core/error.h"
#include "core/logging.h"
#include "store/launcher_store.h"

namespace nimbara {

QList<AppManifestItem> LauncherStore::updatableApps() const {
    QList<AppManifestItem> apps;
    for (const AppManifestItem& app : manifest_.apps) {
        if (state(app).kind() == AppInstallState::Case::updateAvailable && canInstall(app)) {
            apps.append(app);
        }
    }
    return apps;
}

QCoro::Task<LauncherStore::UpdateAllOutcome> LauncherStore::updateAll(QStringList appIDs) {
    if (updateAll_) {
        qCInfo(logStore) << "an update of several apps already runs";
        co_return UpdateAllOutcome{{}, {}, true};
    }
    if (appIDs.isEmpty()) {
        for (const AppManifestItem& app : updatableApps()) {
            appIDs.append(app.id);
        }
    }
    const CancellationToken cancellation;
    updateAll_ = cancellation;
    Q_EMIT updateAllInProgressChanged();
    qCInfo(logStore).noquote() << "updating" << appIDs.join(QStringLiteral(", "));

    QPointer<LauncherStore> self(this);
    UpdateAllOutcome outcome;
    QStringList failedNames;
    for (const QString& appID : std::as_const(appIDs)) {
        if (cancellation.isCancelled()) {
            outcome.cancelled = true;
            break;
        }
        // The catalog may have changed since the list was made: its entry of now is updated.
        const AppManifestItem* found = catalogApp(appID);
        if (found && state(*found).kind() == AppInstallState::Case::installing) {
            qCInfo(logStore).noquote() << appID << "is being installed already";
            continue;
        }
        if (!found || state(*found).kind() != AppInstallState::Case::updateAvailable ||
            !canInstall(*found)) {
            qCWarning(logStore).noquote() << appID << "cannot be updated now";
            outcome.failed.append(appID);
            failedNames.append(found ? found->name : appID);
            continue;
        }
        const AppManifestItem app = *found;
        beginInstall(app);
        // A cancel of the whole run stops the install under way.
        const std::shared_ptr<RunningInstall> running = runningInstalls_.value(app.id);
        const QMetaObject::Connection stop =
            cancellation.onCancel(this, [running] { running->cancellation.cancel(); });
        QCoro::Task<bool> installing = runInstall(self, app, false);
        const bool updated = co_await std::move(installing);
        if (!self) {
            co_return outcome;
        }
        QObject::disconnect(stop);
        if (updated) {
            outcome.updated.append(app.id);
        } else if (running->cancellation.isCancelled()) {
            // The user stopped this app alone, or the whole run: neither is a failure.
            outcome.cancelled = outcome.cancelled || cancellation.isCancelled();
        } else {
            outcome.failed.append(app.id);
            failedNames.append(app.name);
        }
    }
    updateAll_.reset();
    Q_EMIT updateAllInProgressChanged();
    if (!failedNames.isEmpty()) {
        setErrorMessage(text(CopyKey::errorUpdateAllFailed,
                             {{QStringLiteral("apps"), failedNames.join(QStringLiteral(", "))}}));
    }
    co_return outcome;
}

void LauncherStore::cancelUpdateAll() {
    if (!updateAll_) {
        qCInfo(logStore) << "no update of several apps to cancel";
        return;
    }
    qCInfo(logStore) << "cancelling the update of several apps";
    updateAll_->cancel();
}

std::optional<QString> LauncherStore::rollbackVersion(const QString& appID) const {
    const auto kept = keptVersions_.constFind(appID);
    if (kept == keptVersions_.constEnd() || !installedAppURLs_.contains(appID)) {
        return std::nullopt;
    }
    const AppInstallState current = state(appID);
    const AppInstallState::Case kind = current.kind();
    const bool installed =
        kind == AppInstallState::Case::installed || kind == AppInstallState::Case::updateAvailable;
    const QString installedVersion =
        kind == AppInstallState::Case::installed ? current.version() : current.installedVersion();
    if (!installed || installedVersion == *kept) {
        return std::nullopt;
    }
    return *kept;
}

QCoro::Task<bool> LauncherStore::rollBack(QString appID) {
    const AppManifestItem* found = catalogApp(appID);
    if (!found || !wiring_.rollback || !rollbackVersion(appID)) {
        setErrorMessage(text(CopyKey::errorRollBackFailed,
                             {{QStringLiteral("app"), found ? found->name : appID},
                              {QStringLiteral("reason"), text(CopyKey::errorNoKeptCopy)}}));
        co_return false;
    }
    QCoro::Task<bool> rolling = runRollBack(QPointer<LauncherStore>(this), *found);
    co_return co_await std::move(rolling);
}

QCoro::Task<bool> LauncherStore::runRollBack(QPointer<LauncherStore> store, AppManifestItem app) {
    const std::shared_ptr<AppRollingBack> rollback = store->wiring_.rollback;
    const QUrl installedURL = store->installedAppURLs_.value(app.id);
    // Counts as an install that cannot be cancelled: nothing else runs for the app meanwhile.
    const auto running = std::make_shared<RunningInstall>(
        RunningInstall{{}, InstallProgressMeter(store->wiring_.clock())});
    store->runningInstalls_.insert(app.id, running);
    store->takeProgress(app.id, running, InstallProgress{InstallProgress::Phase::placing, 0, {}});
    Q_EMIT store->runningInstallsChanged();

    std::optional<RolledBackApp> rolledBack;
    std::exception_ptr failure;
    try {
        QCoro::Task<RolledBackApp> rolling = rollback->rollBack(app, installedURL);
        rolledBack = co_await std::move(rolling);
    } catch (...) {
        failure = std::current_exception();
    }
    if (!store) {
        co_return false;
    }
    store->endRunningInstall(app.id, running);
    if (rolledBack) {
        store->recordInstalledApp(rolledBack->installed, app);
        // The catalog's release shows as an update again.
        store->setInstallState(app.id, installedState(rolledBack->installed.version, app.version));
        qCInfo(logStore).noquote()
            << "rolled" << app.id << "back to" << rolledBack->installed.version;
        QCoro::Task<> finishing = rollback->finishRollBack(*rolledBack);
        co_await std::move(finishing);
        if (store) {
            QCoro::Task<> refreshing = store->refreshKeptVersions();
            co_await std::move(refreshing);
        }
        co_return true;
    }
    qCWarning(logStore).noquote() << "rolling back" << app.id
                                  << "failed:" << failureReason(failure);
    const FailureText said =
        store->reportFailure(failure, {{QStringLiteral("flow"), QStringLiteral("rollback")},
                                       {QStringLiteral("app"), app.id}});
    store->setInstallState(app.id, store->recordedState(app));
    store->setErrorMessage(
        store->text(CopyKey::errorRollBackFailed, {{QStringLiteral("app"), app.name},
                                                   {QStringLiteral("reason"), said.description}}));
    co_return false;
}

QCoro::Task<> LauncherStore::refreshKeptVersions() {
    const std::shared_ptr<AppRollingBack> rollback = wiring_.rollback;
    if (!rollback) {
        co_return;
    }
    QPointer<LauncherStore> self(this);
    QHash<QString, QString> versions;
    try {
        QCoro::Task<QHash<QString, QString>> listing = rollback->keptVersions();
        versions = co_await std::move(listing);
    } catch (...) {
        qCWarning(logStore).noquote() << "cannot list the kept copies:" << currentFailureReason();
    }
    if (self && versions != keptVersions_) {
        keptVersions_ = std::move(versions);
        Q_EMIT keptVersionsChanged();
    }
}

} // namespace nimbara
