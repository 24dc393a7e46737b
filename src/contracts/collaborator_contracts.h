#pragma once

// The contracts through which the launcher store reaches its collaborators. The store is
// handed one implementation of each at construction; any implementation that keeps a
// contract may stand in for the production one (tests drive the store with substitutes).
//
// Every contract is called on the main thread. Asynchronous operations are coroutines that
// resume on the main thread; they take their arguments by value, so nothing they hold can
// dangle while they are suspended. Failing operations throw a nimbara::Error.

#include "catalog/app_manifest_item.h"
#include "catalog/launcher_manifest.h"
#include "contracts/collaborator_records.h"
#include "contracts/feedback_records.h"
#include "contracts/launcher_operational_event.h"
#include "core/cancellation_token.h"
#include "text/nimbara_locale.h"

#include <QCoro/QCoroTask>
#include <QHash>
#include <exception>
#include <optional>

namespace nimbara {

// Fetches the catalog in the given language.
class ManifestLoading {
public:
    virtual ~ManifestLoading() = default;
    virtual QCoro::Task<LauncherManifest> loadManifest(NimbaraLocale locale) = 0;
};

// Installs (or updates) one app. The error's description becomes the reason the user reads.
// `progress` (may be empty) hears how far the install has come. A cancel through
// `cancellation` stops the install with CancelledError, leaving everything as it was, until
// the swap into place has begun; from then on the install always finishes or restores.
class AppInstalling {
public:
    virtual ~AppInstalling() = default;
    virtual QCoro::Task<InstalledApp> install(AppManifestItem app,
                                              std::optional<QUrl> existingInstallURL,
                                              InstallProgressSink progress,
                                              CancellationToken cancellation) = 0;
};

// Keeps the bundle an update replaced (one per app) and puts it back on request. The kept copy
// of an app lives outside the install root.
class AppRollingBack {
public:
    virtual ~AppRollingBack() = default;
    // The version of every kept copy, by app id.
    virtual QCoro::Task<QHash<QString, QString>> keptVersions() = 0;
    // Checks the kept copy of `app` again (the catalog's bundle identifier, the version it was
    // kept at, the build team's signature) and swaps it in place of the bundle at
    // `installedURL`, checked once more in place. Throws when there is no kept copy or a check
    // fails; the installed bundle is then left as it was.
    virtual QCoro::Task<RolledBackApp> rollBack(AppManifestItem app, QUrl installedURL) = 0;
    // Once the rollback is recorded: removes the replaced copy and the kept copy, now installed.
    // Failures are logged.
    virtual QCoro::Task<> finishRollBack(RolledBackApp rolledBack) = 0;
    // Moves the kept copy of one app, or of every app, to the Trash. Failures are logged.
    virtual QCoro::Task<> discardKeptCopy(QString appID) = 0;
    virtual QCoro::Task<> discardAllKeptCopies() = 0;
};

// Checks an installed bundle's identity and signature; throws when it does not pass.
// Implementations keep no mutable state, so a check may run on a worker thread.
class InstalledCodeValidating {
public:
    virtual ~InstalledCodeValidating() = default;
    virtual void validate(const QUrl& appAt, const QString& expectedBundleID,
                          const QString& expectedVersion) const = 0;
};

// Puts right what an install cut short by the launcher's end left on disk: a previous copy
// still under its backup name, a new copy beside it, staged copies and work folders. Runs once
// at start-up on a worker thread, before the recorded installs are checked; never throws.
class InterruptedInstallRecovering {
public:
    virtual ~InterruptedInstallRecovering() = default;
    virtual void recover(const QList<RecordedInstall>& recorded) const = 0;
};

// Removes apps, and the launcher itself. Never fails: problems come back as data.
class AppUninstalling {
public:
    virtual ~AppUninstalling() = default;
    virtual QCoro::Task<AppRemovalOutcome> removeApp(AppRemovalRequest request) = 0;
    virtual SelfTrashResult trashSelf(const QUrl& bundleURL) = 0;
};

// Sends one feedback report.
class FeedbackReporting {
public:
    virtual ~FeedbackReporting() = default;
    virtual QCoro::Task<FeedbackSubmissionResponse>
    submitFeedback(FeedbackSubmissionRequest request, NimbaraLocale locale) = 0;
};

// Reports an error with its context. Returns at once and never fails.
class ErrorReporting {
public:
    virtual ~ErrorReporting() = default;
    virtual void report(const std::exception& error, const ErrorReportContext& context) = 0;
};

// Takes the install events. Never fails towards its caller and returns promptly.
class OperationalEventRecording {
public:
    virtual ~OperationalEventRecording() = default;
    virtual QCoro::Task<> recordEvent(LauncherOperationalEvent event) = 0;
};

// Keeps the user's launch-at-login wish and the system's registration in step. Never
// raises: a failed registration shows as state() == LoginItemState::failed(message).
class LoginItemManaging {
public:
    virtual ~LoginItemManaging() = default;
    virtual LoginItemState state() const = 0;
    virtual bool desiredEnabled() const = 0;
    virtual bool hasReconciledAfterLaunch() const = 0;
    virtual void setHasReconciledAfterLaunch(bool reconciled) = 0;
    virtual void reconcile() = 0;
    virtual void setDesired(bool enabled) = 0;
    virtual void openApprovalSettings() = 0;
};

} // namespace nimbara
