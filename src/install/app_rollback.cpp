#include "install/app_rollback.h"

#include "core/error.h"
#include "core/logging.h"
#include "install/worker_task.h"
#include "platform/preferred_languages.h"
#include "text/nimbara_copy.h"

#include <QFileInfo>

namespace nimbara {

namespace {

Error noKeptCopy() {
    return Error(NimbaraCopy::text(CopyKey::errorNoKeptCopy, systemLocale()),
                 QStringLiteral("AppRollbackError.noKeptCopy"));
}

RolledBackApp swapKeptCopyIn(const KeptCopies& kept,
                             const std::shared_ptr<const InstalledCodeValidating>& validator,
                             const SwapHook& hook, const AppManifestItem& app,
                             const QUrl& installedURL) {
    const std::optional<KeptCopy> copy = kept.find(app.id);
    if (!copy)
        throw noKeptCopy();
    const auto check = [&validator, &app, version = copy->version](const QString& at) {
        validator->validate(QUrl::fromLocalFile(at), app.bundleId, version);
    };
    check(copy->bundlePath);

    const QString destination = QFileInfo(installedURL.toLocalFile()).absoluteFilePath();
    const QString unique = canonicalUuid();
    const SwapPaths paths{destination + QLatin1Char('.') + unique + QStringLiteral(".staged"),
                          destination,
                          destination + QLatin1Char('.') + unique + QStringLiteral(".backup")};
    try {
        copyBundleTree(copy->bundlePath, paths.staged);
        check(paths.staged);
        swapIntoPlace(paths, check, hook, BackupAfterSwap::keep);
    } catch (...) {
        if (entryExists(paths.staged) && !removeEntry(paths.staged))
            qCWarning(logInstall).noquote() << "could not remove the staged copy" << paths.staged;
        throw;
    }
    return {app.id, InstalledApp{QUrl::fromLocalFile(destination), copy->version},
            entryExists(paths.backup) ? paths.backup : QString()};
}

} // namespace

AppRollback::AppRollback(KeptCopies kept, std::shared_ptr<const InstalledCodeValidating> validator,
                         SwapHook swapHook)
    : kept_(std::move(kept)), validator_(std::move(validator)), swapHook_(std::move(swapHook)) {}

QCoro::Task<QHash<QString, QString>> AppRollback::keptVersions() {
    QCoro::Task<QHash<QString, QString>> listing = onWorker([kept = kept_] {
        QHash<QString, QString> versions;
        for (const KeptCopy& copy : kept.all())
            versions.insert(copy.appID, copy.version);
        return versions;
    });
    co_return co_await std::move(listing);
}

QCoro::Task<RolledBackApp> AppRollback::rollBack(AppManifestItem app, QUrl installedURL) {
    QCoro::Task<RolledBackApp> swapping =
        onWorker([kept = kept_, validator = validator_, hook = swapHook_, app, installedURL] {
            return swapKeptCopyIn(kept, validator, hook, app, installedURL);
        });
    co_return co_await std::move(swapping);
}

QCoro::Task<> AppRollback::finishRollBack(RolledBackApp rolledBack) {
    QCoro::Task<> finishing = onWorker([kept = kept_, rolledBack] {
        if (!rolledBack.replacedCopy.isEmpty() && !removeEntry(rolledBack.replacedCopy))
            qCWarning(logInstall).noquote()
                << "could not remove the replaced copy" << rolledBack.replacedCopy;
        try {
            kept.remove(rolledBack.appID);
        } catch (const Error& error) {
            qCWarning(logInstall).noquote() << error.description();
        }
    });
    co_await std::move(finishing);
}

QCoro::Task<> AppRollback::discardKeptCopy(QString appID) {
    QCoro::Task<> trashing = onWorker([kept = kept_, appID] {
        try {
            kept.moveToTrash(appID);
        } catch (const Error& error) {
            qCWarning(logInstall).noquote() << "could not move the kept copy of" << appID
                                            << "to the Trash:" << error.description();
        }
    });
    co_await std::move(trashing);
}

QCoro::Task<> AppRollback::discardAllKeptCopies() {
    QCoro::Task<QStringList> listing = onWorker([kept = kept_] { return kept.appIDs(); });
    const QStringList appIDs = co_await std::move(listing);
    for (const QString& appID : appIDs) {
        QCoro::Task<> trashing = discardKeptCopy(appID);
        co_await std::move(trashing);
    }
}

} // namespace nimbara
