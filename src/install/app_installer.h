#pragma once

#include "contracts/collaborator_contracts.h"
#include "install/archive_extraction.h"
#include "install/bundle_placement.h"
#include "install/kept_copies.h"
#include "platform/system_information.h"

#include <QNetworkAccessManager>
#include <QString>
#include <memory>

namespace nimbara {

struct AppInstallerOptions {
    // Where work folders are made; empty means the system's temporary folder.
    QString temporaryFolder;
    ExtractionLimits limits;
    // For crash tests only: called at each point of the swap (see SwapPoint), on the worker
    // thread that runs it, so a test can stop or kill the process there. Production passes none.
    SwapHook swapHook;
    // Where the bundle an update replaces is kept for a rollback; none: it is removed.
    std::optional<KeptCopies> keptCopies;
};

// Turns a catalog entry into a checked app bundle on disk. In this order: the release checks
// and the minimum system (checkRelease); a work folder NimbaraInstall-<UUID> in the temporary
// folder; the download (downloadArchive) and its SHA-256 against the catalog; extraction and
// the one bundle at the archive's top level (findExtractedApp); its identifier against the
// catalog before any signature check; then the validator on the unpacked bundle, on a staged
// copy <name>.<UUID>.staged beside the destination, and on the bundle in place after the swap
// (swapIntoPlace, with <name>.<UUID>.backup). The destination is the recorded location when
// the bundle there carries the app's identifier, else the install root + the bundle's own name.
// The bundle replaced by an update to another version becomes the app's kept copy when kept
// copies are configured; otherwise, or when keeping fails (logged), it is removed. Whatever the
// outcome, the staged copy and then the work folder are removed.
//
// Everything that blocks runs on the global thread pool; only the download runs on the calling
// (main) thread, which also hears the progress. Keeps no state between calls.
class AppInstaller : public AppInstalling {
public:
    AppInstaller(QNetworkAccessManager& session, QString installRoot,
                 std::shared_ptr<const InstalledCodeValidating> validator,
                 std::shared_ptr<const SystemInformation> system, AppInstallerOptions options = {});

    QCoro::Task<InstalledApp> install(AppManifestItem app, std::optional<QUrl> existingInstallURL,
                                      InstallProgressSink progress,
                                      CancellationToken cancellation) override;

private:
    struct Run;
    QCoro::Task<InstalledApp> runSteps(Run& run);
    QCoro::Task<QString> unpack(Run& run);
    QCoro::Task<InstalledApp> place(Run& run, QString bundle);

    QNetworkAccessManager& session_;
    QString installRoot_;
    std::shared_ptr<const InstalledCodeValidating> validator_;
    std::shared_ptr<const SystemInformation> system_;
    AppInstallerOptions options_;
};

} // namespace nimbara
