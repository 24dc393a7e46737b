#include "install/app_installer.h"

#include "core/error.h"
#include "core/logging.h"
#include "install/app_installer_error.h"
#include "install/archive_download.h"
#include "install/archive_layout.h"
#include "install/file_digest.h"
#include "install/install_destination.h"
#include "install/installed_bundle_metadata.h"
#include "install/release_requirements.h"
#include "install/worker_task.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace nimbara {

namespace {

const QString kWorkFolderPrefix = QStringLiteral("NimbaraInstall-");

void makeFolder(const QString& path) {
    if (!QDir().mkpath(path))
        throw FileError(QStringLiteral("Could not create %1").arg(path));
}

// The work folder itself is made private; its parents as mkpath makes them.
void makeWorkFolder(const QString& path) {
    makeFolder(QFileInfo(path).absolutePath());
    if (::mkdir(QFile::encodeName(path).constData(), 0700) != 0)
        throw FileError(QStringLiteral("Could not create %1: %2")
                            .arg(path, QString::fromLocal8Bit(std::strerror(errno))));
}

// After a successful swap: keeps the replaced bundle at `backup`, if any, as the app's kept copy
// when it holds another version than the one installed; else removes it.
void settleReplacedBundle(const std::optional<KeptCopies>& kept, const AppManifestItem& app,
                          const SwapPaths& paths) {
    const QString& backup = paths.backup;
    if (!entryExists(backup))
        return;
    try {
        const QString version =
            loadInstalledBundleMetadata(QUrl::fromLocalFile(backup)).shortVersion;
        if (kept && version != app.version) {
            kept->keep(app.id, backup, version, QFileInfo(paths.destination).fileName());
            qCInfo(logInstall).noquote() << "kept" << app.id << version << "for a rollback";
            return;
        }
    } catch (const Error& error) {
        qCWarning(logInstall).noquote()
            << "could not keep the replaced bundle of" << app.id << ":" << error.description();
    }
    if (!removeEntry(backup))
        qCWarning(logInstall).noquote() << "could not remove the backup" << backup;
}

void removeLeftovers(const QString& staged, const QString& workFolder) {
    if (!staged.isEmpty() && !removeEntry(staged))
        qCWarning(logInstall).noquote() << "could not remove the staged copy" << staged;
    if (!removeEntry(workFolder))
        qCWarning(logInstall).noquote() << "could not remove the work folder" << workFolder;
}

} // namespace

struct AppInstaller::Run {
    AppManifestItem app;
    std::optional<QUrl> existing;
    InstallProgressSink progress;
    CancellationToken cancellation;
    ReleaseToInstall release;
    QString workFolder;
    QString staged; // set once the staged copy's name is chosen

    // Reports the start of `phase` after a last look at the cancel.
    void enter(InstallProgress::Phase phase) const {
        cancellation.throwIfCancelled();
        if (progress)
            progress(InstallProgress{phase, 0, std::nullopt});
    }
};

AppInstaller::AppInstaller(QNetworkAccessManager& session, QString installRoot,
                           std::shared_ptr<const InstalledCodeValidating> validator,
                           std::shared_ptr<const SystemInformation> system,
                           AppInstallerOptions options)
    : session_(session), installRoot_(std::move(installRoot)), validator_(std::move(validator)),
      system_(std::move(system)), options_(std::move(options)) {
    if (options_.temporaryFolder.isEmpty())
        options_.temporaryFolder = QDir::tempPath();
}

QCoro::Task<InstalledApp> AppInstaller::install(AppManifestItem app,
                                                std::optional<QUrl> existingInstallURL,
                                                InstallProgressSink progress,
                                                CancellationToken cancellation) {
    Run run{std::move(app),
            std::move(existingInstallURL),
            std::move(progress),
            std::move(cancellation),
            {},
            {},
            {}};
    run.release = checkRelease(run.app, system_->runningSystemVersion());
    run.cancellation.throwIfCancelled();
    run.workFolder = QDir(options_.temporaryFolder).filePath(kWorkFolderPrefix + canonicalUuid());
    QCoro::Task<> creating = onWorker([folder = run.workFolder] { makeWorkFolder(folder); });
    co_await std::move(creating);

    std::exception_ptr failure;
    std::optional<InstalledApp> installed;
    try {
        QCoro::Task<InstalledApp> steps = runSteps(run);
        installed = co_await std::move(steps);
    } catch (...) {
        failure = std::current_exception();
    }
    QCoro::Task<> cleaning =
        onWorker([staged = run.staged, work = run.workFolder] { removeLeftovers(staged, work); });
    co_await std::move(cleaning);
    if (failure)
        std::rethrow_exception(failure);
    co_return *installed;
}

QCoro::Task<InstalledApp> AppInstaller::runSteps(Run& run) {
    run.enter(InstallProgress::Phase::downloading);
    const QString archive = run.workFolder + QStringLiteral("/download.zip");
    TransferProgressSink transferred;
    if (run.progress)
        transferred = [sink = run.progress](const TransferProgress& done) {
            sink(InstallProgress{InstallProgress::Phase::downloading, done.received, done.total});
        };
    QCoro::Task<> downloading = downloadArchive(session_, run.release.downloadURL, archive,
                                                std::move(transferred), run.cancellation);
    co_await std::move(downloading);
    if (run.progress) {
        // Transfers report at most ten times a second, so the last bytes are told here.
        QCoro::Task<qint64> measuring = onWorker([archive] { return QFileInfo(archive).size(); });
        const qint64 size = co_await std::move(measuring);
        run.progress(InstallProgress{InstallProgress::Phase::downloading, size, size});
    }

    run.enter(InstallProgress::Phase::checking);
    QCoro::Task<QString> hashing = onWorker(
        [archive, cancellation = run.cancellation] { return sha256OfFile(archive, cancellation); });
    const QString actual = co_await std::move(hashing);
    if (actual != run.release.expectedDigest)
        throw AppInstallerError::checksumMismatch(run.release.expectedDigest, actual);

    QCoro::Task<QString> unpacking = unpack(run);
    const QString bundle = co_await std::move(unpacking);

    run.enter(InstallProgress::Phase::validating);
    QCoro::Task<> validating = onWorker([bundle, app = run.app, validator = validator_] {
        checkBundleIdentity(bundle, app.bundleId);
        validator->validate(QUrl::fromLocalFile(bundle), app.bundleId, app.version);
    });
    co_await std::move(validating);

    QCoro::Task<InstalledApp> placing = place(run, bundle);
    co_return co_await std::move(placing);
}

QCoro::Task<QString> AppInstaller::unpack(Run& run) {
    run.enter(InstallProgress::Phase::unpacking);
    QCoro::Task<QString> unpacking = onWorker([work = run.workFolder, limits = options_.limits] {
        const QString extracted = work + QStringLiteral("/extracted");
        makeFolder(extracted);
        extractArchive(work + QStringLiteral("/download.zip"), extracted, limits);
        return findExtractedApp(extracted);
    });
    co_return co_await std::move(unpacking);
}

QCoro::Task<InstalledApp> AppInstaller::place(Run& run, QString bundle) {
    run.enter(InstallProgress::Phase::placing);
    const QString bundleID = run.app.bundleId;
    const QString version = run.app.version;
    QCoro::Task<QString> choosing =
        onWorker([existing = run.existing, bundleID, root = installRoot_, bundle] {
            const QString destination =
                chooseDestination(existing, bundleID, root, QFileInfo(bundle).fileName());
            makeFolder(QFileInfo(destination).absolutePath());
            return destination;
        });
    const QString destination = co_await std::move(choosing);

    const QString unique = canonicalUuid();
    const SwapPaths paths{destination + QLatin1Char('.') + unique + QStringLiteral(".staged"),
                          destination,
                          destination + QLatin1Char('.') + unique + QStringLiteral(".backup")};
    run.staged = paths.staged;
    const auto check = [validator = validator_, bundleID, version](const QString& at) {
        validator->validate(QUrl::fromLocalFile(at), bundleID, version);
    };
    QCoro::Task<> staging = onWorker([bundle, paths, check, cancellation = run.cancellation] {
        copyBundleTree(bundle, paths.staged, cancellation);
        check(paths.staged);
    });
    co_await std::move(staging);

    // From here on the swap always finishes or restores: a cancel no longer counts.
    run.cancellation.throwIfCancelled();
    QCoro::Task<> swapping = onWorker(
        [paths, check, hook = options_.swapHook, kept = options_.keptCopies, app = run.app] {
            swapIntoPlace(paths, check, hook, BackupAfterSwap::keep);
            settleReplacedBundle(kept, app, paths);
        });
    co_await std::move(swapping);
    co_return InstalledApp{QUrl::fromLocalFile(destination), version};
}

} // namespace nimbara
