#include "install/app_uninstaller.h"

#include "core/error.h"
#include "core/logging.h"
#include "install/proc_running_app_terminator.h"
#include "platform/freedesktop_trash.h"
#include "platform/info_plist.h"
#include "platform/linux_app_workspace.h"

#include <QCoro/QCoroFuture>
#include <QDir>
#include <QFileInfo>
#include <QtConcurrent>

namespace nimbara {

namespace {

// The readable description of whatever `operation` threw; empty when it succeeded.
QString failureOf(const AppUninstaller::TrashOperation& operation, const QUrl& item) {
    try {
        operation(item);
        return {};
    } catch (const std::exception& error) {
        return errorDescription(error);
    } catch (...) {
        return QStringLiteral("%1: unknown error").arg(item.toDisplayString());
    }
}

bool existsAt(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// The bundle to remove: the recorded one when it carries the identifier, else the first found
// by identifier.
std::optional<QUrl> resolveBundleURL(const AppUninstaller::Settings& settings,
                                     const AppRemovalRequest& request) {
    if (request.installedURL && request.installedURL->isLocalFile()) {
        const QString recorded = QDir::cleanPath(request.installedURL->toLocalFile());
        if (bundleCarriesIdentifier(recorded, request.bundleID)) {
            return QUrl::fromLocalFile(recorded);
        }
        if (existsAt(recorded)) {
            qCWarning(logInstall).noquote() << recorded << "does not carry" << request.bundleID
                                            << "any more; it is left untouched";
        }
    }
    const LinuxAppWorkspace workspace(settings.installRoot.toLocalFile(),
                                      settings.applicationsFolder.toLocalFile());
    return workspace.urlForApplication(request.bundleID);
}

// Moves the bundle and, on request, the data to the Trash. Runs on a worker thread.
void removeFromDisk(const AppUninstaller::Settings& settings, const AppRemovalRequest& request,
                    AppRemovalOutcome& outcome) {
    if (const std::optional<QUrl> bundle = resolveBundleURL(settings, request)) {
        const QString problem = failureOf(settings.trashOperation, *bundle);
        outcome.removedBundle = problem.isEmpty();
        if (!problem.isEmpty()) {
            outcome.problems.append(problem);
        }
    } else {
        outcome.problems.append(AppUninstaller::noBundleProblem());
    }
    if (!request.deleteData) {
        return;
    }
    const std::optional<QList<QUrl>> locations =
        appDataPaths(request.bundleID, settings.libraryRoot);
    if (!locations) {
        outcome.problems.append(AppUninstaller::unsafeIdentifierProblem(request.bundleID));
        return;
    }
    for (const QUrl& location : *locations) {
        if (!existsAt(location.toLocalFile())) {
            continue;
        }
        const QString problem = failureOf(settings.trashOperation, location);
        if (problem.isEmpty()) {
            outcome.removedDataPaths.append(location);
        } else {
            outcome.problems.append(problem);
        }
    }
}

} // namespace

AppUninstaller::Settings AppUninstaller::Settings::forCurrentUser() {
    return {QUrl::fromLocalFile(LinuxAppWorkspace::defaultInstallRoot()),
            QUrl::fromLocalFile(LinuxAppWorkspace::defaultApplicationsFolder()),
            AppDataRoots::ofCurrentUser(),
            std::make_shared<ProcRunningAppTerminator>(),
            5.0,
            moveToTrash};
}

AppUninstaller::AppUninstaller(Settings settings) : settings_(std::move(settings)) {
    if (!settings_.trashOperation) {
        settings_.trashOperation = moveToTrash;
    }
    if (!settings_.runningAppTerminator) {
        settings_.runningAppTerminator = std::make_shared<ProcRunningAppTerminator>();
    }
}

QString AppUninstaller::couldNotQuitProblem(const QString& bundleID) {
    return QStringLiteral("Could not fully quit the running app (") + bundleID +
           QStringLiteral(").");
}

QString AppUninstaller::noBundleProblem() {
    return QStringLiteral("No app bundle was found to remove.");
}

QString AppUninstaller::unsafeIdentifierProblem(const QString& bundleID) {
    return QStringLiteral("The app identifier (") + bundleID +
           QStringLiteral(") is not a plain identifier, so no data was moved to the Trash.");
}

QCoro::Task<AppRemovalOutcome> AppUninstaller::removeApp(AppRemovalRequest request) {
    const Settings settings = settings_; // copied: the uninstaller may be gone when this resumes
    AppRemovalOutcome outcome;
    outcome.appID = request.appID;
    QCoro::Task<bool> quitting =
        settings.runningAppTerminator->terminate(request.bundleID, settings.terminationTimeout);
    if (!co_await quitting) {
        outcome.problems.append(couldNotQuitProblem(request.bundleID));
    }
    QFuture<AppRemovalOutcome> removal = QtConcurrent::run([settings, request, outcome]() mutable {
        removeFromDisk(settings, request, outcome);
        return outcome;
    });
    co_return co_await removal;
}

SelfTrashResult AppUninstaller::trashSelf(const QUrl& bundleURL) {
    if (QFileInfo(QDir::cleanPath(bundleURL.path())).suffix() != u"app") {
        return SelfTrashResult::skippedNotAppBundle();
    }
    // The system package's bundle belongs to the package manager, which removes it.
    const std::optional<QVariantMap> info =
        readInfoPlist(infoPlistPath(QDir::cleanPath(bundleURL.path())));
    const QVariant managed =
        info ? info->value(QStringLiteral("NimbaraPackageManaged")) : QVariant();
    if (managed.typeId() == QMetaType::Bool && managed.toBool()) {
        return SelfTrashResult::failed(
            QStringLiteral("Nimbara was installed by the system's package manager and stays "
                           "installed; remove it there (for example: sudo apt remove nimbara)."));
    }
    const QString problem = failureOf(settings_.trashOperation, bundleURL);
    return problem.isEmpty() ? SelfTrashResult::trashed() : SelfTrashResult::failed(problem);
}

} // namespace nimbara
