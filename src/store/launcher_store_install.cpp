#include "catalog/manifest_policy.h"
#include "core/cancellation_token.h"
#include "core/error.h"
#include "core/logging.h"
#include "core/plain_identifier.h"
#include "platform/app_workspace.h"
#include "platform/detached_task.h"
#include "platform/system_information.h"
#include "store/launcher_store.h"

#include <QCoro/QCoroFuture>
#include <QFileInfo>
#include <QtConcurrent>

namespace nimbara {

namespace {

LauncherOperationalEvent installEvent(const AppManifestItem& app, const char* type,
                                      const char* status, std::optional<QString> reason = {}) {
    return {QString::fromLatin1(type), app.id, app.version, QString::fromLatin1(status),
            std::move(reason)};
}

// Hands an event to the sink. A sink never fails towards the store; one that does anyway must
// not leave an install half done.
QCoro::Task<> deliver(std::shared_ptr<OperationalEventRecording> sink,
                      LauncherOperationalEvent event) {
    const QString type = event.eventType;
    try {
        co_await sink->recordEvent(std::move(event));
    } catch (...) {
        qCWarning(logStore).noquote()
            << "cannot record the event" << type << ":" << currentFailureReason();
    }
}

// open() does not wait for the answer of openApp(); what the answer means is already in the
// store's state and error message.
QCoro::Task<> discardAnswer(QCoro::Task<bool> task) {
    co_await std::move(task);
}

bool isCancellation(const std::exception_ptr& failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const CancelledError&) {
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace

bool LauncherStore::canInstall(const AppManifestItem& app) const {
    if (!ManifestPolicy::hasPublishedRelease(app) || app.status == AppReleaseStatus::comingSoon ||
        app.status == AppReleaseStatus::retired) {
        return false;
    }
    const std::optional<OperatingSystemVersion> required =
        ManifestPolicy::macOSVersion(app.minMacOS);
    const OperatingSystemVersion running = wiring_.systemInformation
                                               ? wiring_.systemInformation->runningSystemVersion()
                                               : OperatingSystemVersion{};
    if (!required || running < *required) {
        return false;
    }
    // The bundle identifier later names folders of the app's data; only a plain identifier may.
    if (!isPlainIdentifier(app.bundleId)) {
        return false;
    }
    const AppInstallState::Case kind = state(app).kind();
    return kind == AppInstallState::Case::notInstalled ||
           kind == AppInstallState::Case::updateAvailable || kind == AppInstallState::Case::failed;
}

bool LauncherStore::beginInstall(const AppManifestItem& app) {
    if (!canInstall(app)) {
        setErrorMessage(text(CopyKey::errorCannotInstall, {{QStringLiteral("app"), app.name}}));
        return false;
    }
    // Marked as installing before the task starts, so that a second request for the same app
    // is refused: one app is never installed twice at the same time.
    runningInstalls_.insert(app.id, std::make_shared<RunningInstall>(
                                        RunningInstall{{}, InstallProgressMeter(wiring_.clock())}));
    setInstallState(app.id, AppInstallState::installing(InstallProgressMeter::kStart));
    Q_EMIT runningInstallsChanged();
    return true;
}

void LauncherStore::install(const AppManifestItem& app) {
    if (beginInstall(app)) {
        startDetached(runInstall(QPointer<LauncherStore>(this), app), logStore(),
                      QStringLiteral("install of ") + app.id);
    }
}

QCoro::Task<bool> LauncherStore::installApp(AppManifestItem app) {
    if (!beginInstall(app)) {
        co_return false;
    }
    QCoro::Task<bool> installing = runInstall(QPointer<LauncherStore>(this), app);
    co_return co_await std::move(installing);
}

std::optional<InstallTransfer> LauncherStore::installTransfer(const QString& appID) const {
    const std::shared_ptr<RunningInstall> running = runningInstalls_.value(appID);
    return running ? running->meter.transfer() : std::nullopt;
}

bool LauncherStore::canCancelInstall(const QString& appID) const {
    const std::shared_ptr<RunningInstall> running = runningInstalls_.value(appID);
    return running && !running->cancellation.isCancelled() &&
           running->meter.phase() != InstallProgress::Phase::placing;
}

void LauncherStore::cancelInstall(const QString& appID) {
    if (!canCancelInstall(appID)) {
        qCInfo(logStore).noquote() << "no install of" << appID << "to cancel";
        return;
    }
    qCInfo(logStore).noquote() << "cancelling the install of" << appID;
    runningInstalls_.value(appID)->cancellation.cancel();
    Q_EMIT runningInstallsChanged();
}

void LauncherStore::takeProgress(const QString& appID,
                                 const std::shared_ptr<RunningInstall>& running,
                                 const InstallProgress& report) {
    // A report of an install that has ended (or of an earlier one) changes nothing.
    if (runningInstalls_.value(appID) != running) {
        return;
    }
    const bool couldCancel = canCancelInstall(appID);
    const bool changed = running->meter.take(report, wiring_.clock());
    if (changed) {
        setInstallState(appID, AppInstallState::installing(running->meter.fraction()));
    }
    if (changed || couldCancel != canCancelInstall(appID)) {
        Q_EMIT runningInstallsChanged();
    }
}

void LauncherStore::endRunningInstall(const QString& appID,
                                      const std::shared_ptr<RunningInstall>& running) {
    if (runningInstalls_.value(appID) == running) {
        runningInstalls_.remove(appID);
        Q_EMIT runningInstallsChanged();
    }
}

QCoro::Task<bool> LauncherStore::runInstall(QPointer<LauncherStore> store, AppManifestItem app,
                                            bool reportFailure) {
    // The task holds the store weakly and its collaborators strongly: if the store goes away
    // while the installer runs, the installer still finishes, and nothing of the store is
    // touched afterwards.
    const std::shared_ptr<OperationalEventRecording> sink = store->wiring_.eventSink;
    const std::shared_ptr<AppInstalling> installer = store->wiring_.installer;
    const std::shared_ptr<RunningInstall> running = store->runningInstalls_.value(app.id);
    const CancellationToken cancellation = running->cancellation;

    co_await deliver(sink, installEvent(app, "install_started", "started"));
    if (!store) {
        co_return false;
    }
    std::optional<QUrl> existing;
    if (store->installedAppURLs_.contains(app.id)) {
        existing = store->installedAppURLs_.value(app.id);
    }

    const std::weak_ptr<RunningInstall> weakRun = running;
    InstallProgressSink progress = [store, appID = app.id, weakRun](const InstallProgress& report) {
        if (const std::shared_ptr<RunningInstall> run = weakRun.lock(); run && store) {
            store->takeProgress(appID, run, report);
        }
    };
    std::optional<InstalledApp> installed;
    std::exception_ptr failure;
    try {
        // Cancelled while the start was being recorded: the installer is not asked at all.
        cancellation.throwIfCancelled();
        QCoro::Task<InstalledApp> installing =
            installer->install(app, existing, std::move(progress), cancellation);
        installed = co_await std::move(installing);
    } catch (...) {
        failure = std::current_exception();
    }
    if (!store) {
        co_return false;
    }
    store->endRunningInstall(app.id, running);

    if (installed) {
        store->recordInstalledApp(*installed, app);
        QCoro::Task<> keeping = store->refreshKeptVersions();
        co_await std::move(keeping);
        co_await deliver(sink, installEvent(app, "install_succeeded", "succeeded"));
        co_return true;
    }

    if (cancellation.isCancelled() && isCancellation(failure)) {
        qCInfo(logStore).noquote() << "the install of" << app.id << app.version << "was cancelled";
        store->setInstallState(app.id, store->recordedState(app));
        co_await deliver(sink, installEvent(app, "install_cancelled", "cancelled"));
        co_return false;
    }

    qCWarning(logStore).noquote() << "install of" << app.id << app.version
                                  << "failed:" << failureReason(failure);
    const FailureText said =
        store->reportFailure(failure, {{QStringLiteral("flow"), QStringLiteral("install")},
                                       {QStringLiteral("app"), app.id},
                                       {QStringLiteral("version"), app.version}});
    const QString message =
        store->text(CopyKey::errorInstallFailed, {{QStringLiteral("app"), app.name},
                                                  {QStringLiteral("reason"), said.description}});
    store->setInstallState(app.id, AppInstallState::failed(message));
    if (reportFailure) {
        store->setErrorMessage(message);
    }
    co_await deliver(sink, installEvent(app, "install_failed", "failed", said.rendering));
    co_return false;
}

void LauncherStore::open(const AppManifestItem& app) {
    const AppInstallState::Case kind = state(app).kind();
    if (kind != AppInstallState::Case::installed &&
        kind != AppInstallState::Case::updateAvailable) {
        install(app);
        return;
    }
    QCoro::Task<bool> opening = openApp(app);
    startDetached(discardAnswer(std::move(opening)), logStore(),
                  QStringLiteral("opening ") + app.id);
}

bool LauncherStore::findAndOpen(std::optional<QUrl> recorded,
                                std::shared_ptr<AppWorkspace> workspace, QString bundleID) {
    if (recorded && QFileInfo::exists(recorded->toLocalFile())) {
        if (workspace) {
            workspace->openApplication(*recorded);
        }
        return true;
    }
    if (workspace) {
        if (const std::optional<QUrl> found = workspace->urlForApplication(bundleID)) {
            workspace->openApplication(*found);
            return true;
        }
    }
    return false;
}

QCoro::Task<bool> LauncherStore::openApp(AppManifestItem app) {
    const AppInstallState::Case before = state(app).kind();
    if (before != AppInstallState::Case::installed &&
        before != AppInstallState::Case::updateAvailable) {
        co_return false;
    }
    const QPointer<LauncherStore> store(this);
    std::optional<QUrl> recorded;
    if (store->installedAppURLs_.contains(app.id)) {
        recorded = store->installedAppURLs_.value(app.id);
    }
    // Looking at files, scanning running processes and starting one all block: a worker does it.
    QFuture<bool> opening = QtConcurrent::run(&LauncherStore::findAndOpen, recorded,
                                              store->wiring_.workspace, app.bundleId);
    const bool opened = co_await opening;
    if (!store || opened) {
        co_return opened;
    }
    // While the worker looked, the app may have been installed or removed anew: then the newer
    // record stands and nothing is cleared.
    const AppInstallState::Case kind = store->state(app).kind();
    const bool stillInstalled =
        kind == AppInstallState::Case::installed || kind == AppInstallState::Case::updateAvailable;
    const auto current = store->installedAppURLs_.constFind(app.id);
    const std::optional<QUrl> recordedNow =
        current == store->installedAppURLs_.constEnd() ? std::nullopt : std::optional(*current);
    if (!stillInstalled || recordedNow != recorded) {
        co_return false;
    }
    qCWarning(logStore).noquote() << "the bundle of" << app.id << "is gone; it counts as removed";
    store->clearPersistedInstall(app.id);
    store->setInstallState(app.id, AppInstallState::notInstalled());
    store->setErrorMessage(
        store->text(CopyKey::errorNoBundle, {{QStringLiteral("app"), app.name}}));
    co_return false;
}

} // namespace nimbara
