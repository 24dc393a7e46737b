#pragma once

// Substitutes for every collaborator of the launcher store. Each one records how it was called
// and answers as the test scripted it; asynchronous operations can be held open at a Gate until
// the test opens it, so that tests can look at the store while an operation is still waiting.

#include "contracts/collaborator_contracts.h"
#include "core/error.h"
#include "platform/app_workspace.h"
#include "platform/preferences_store.h"
#include "platform/system_information.h"
#include "store/launcher_store.h"

#include <QDir>
#include <QHash>
#include <QMutexLocker>
#include <QSet>
#include <QWaitCondition>
#include <coroutine>
#include <exception>
#include <functional>
#include <memory>
#include <vector>

namespace nimbara::test {

// A point where a substitute's operation waits until the test opens it. Waiters are resumed
// from the event loop, as a real reply would arrive, not from inside open().
class Gate {
public:
    void open();

    struct Awaiter {
        Gate* gate;
        bool await_ready() const noexcept { return gate->open_; }
        void await_suspend(std::coroutine_handle<> handle) { gate->waiters_.push_back(handle); }
        void await_resume() const noexcept {}
    };
    Awaiter operator co_await() { return Awaiter{this}; }

private:
    bool open_ = false;
    std::vector<std::coroutine_handle<>> waiters_;
};

// An error with a fixed description and rendering, standing in for the collaborators' own.
class FakeError : public Error {
public:
    FakeError(const QString& description, const QString& rendering)
        : Error(description, rendering) {}
};

// Writes `bundlePath`/Contents/Info.plist (XML) with the given identifier and short version.
void writeBundle(const QString& bundlePath, const QString& bundleIdentifier,
                 const QString& shortVersion);

// A point where a substitute called on a worker thread waits while the test holds it closed.
class WorkerLatch {
public:
    void close();
    void open();
    void pass() const; // waits while closed

private:
    mutable QMutex mutex_;
    mutable QWaitCondition opened_;
    bool closed_ = false;
};

// Each load answers what `catalog` and `error` hold when it is called (the error wins).
class FakeManifestLoader : public ManifestLoading {
public:
    LauncherManifest catalog;
    std::exception_ptr error;
    QList<NimbaraLocale> calls;

    // The next load waits at the returned gate before it answers.
    std::shared_ptr<Gate> holdNextLoad() { return nextGate_ = std::make_shared<Gate>(); }

    QCoro::Task<LauncherManifest> loadManifest(NimbaraLocale locale) override;

private:
    std::shared_ptr<Gate> nextGate_;
};

// Installs fail with failures[id], else return results[id] (writing nothing); any other install
// writes a real bundle at <installRoot>/<app name>.app with the catalog version. A cancelled
// install stops waiting at its gate and throws CancelledError, unless its app is in `swapping`.
class FakeInstaller : public AppInstalling {
public:
    explicit FakeInstaller(QString installRoot) : installRoot_(std::move(installRoot)) {}

    struct Call {
        AppManifestItem app;
        std::optional<QUrl> existingInstallURL;
    };

    // Installs of `appID` wait at the returned gate (one gate for every later install of it).
    std::shared_ptr<Gate> hold(const QString& appID) {
        return gates_[appID] = std::make_shared<Gate>();
    }

    QHash<QString, std::exception_ptr> failures;
    QHash<QString, InstalledApp> results;
    // The progress sink and the token of each app's latest install.
    QHash<QString, InstallProgressSink> sinks;
    QHash<QString, CancellationToken> tokens;
    // Installs of these apps have begun to put the copy in place: they finish even if cancelled.
    QSet<QString> swapping;
    QList<Call> calls;
    int inFlight = 0;
    int finished = 0;

    QCoro::Task<InstalledApp> install(AppManifestItem app, std::optional<QUrl> existingInstallURL,
                                      InstallProgressSink progress,
                                      CancellationToken cancellation) override;

private:
    QString installRoot_;
    QHash<QString, std::shared_ptr<Gate>> gates_;
};

class FakeUninstaller : public AppUninstalling {
public:
    QHash<QString, QStringList> problems; // reported by removals of an app; none by default
    // Called when a removal request arrives, before it is answered; what it throws escapes.
    std::function<void(const AppRemovalRequest&)> onRemove;
    QList<AppRemovalRequest> requests;
    QList<QUrl> selfTrashCalls;
    SelfTrashResult selfTrashResult = SelfTrashResult::trashed();

    QCoro::Task<AppRemovalOutcome> removeApp(AppRemovalRequest request) override;
    SelfTrashResult trashSelf(const QUrl& bundleURL) override {
        selfTrashCalls.append(bundleURL);
        return selfTrashResult;
    }
};

// Records every event; when `error` is set, also throws it, breaking the sink's promise.
class FakeEventSink : public OperationalEventRecording {
public:
    QList<LauncherOperationalEvent> events;
    std::exception_ptr error;

    QCoro::Task<> recordEvent(LauncherOperationalEvent event) override;
};

// Each submission answers what `response` and `error` hold when it is called (the error wins).
class FakeFeedbackClient : public FeedbackReporting {
public:
    struct Call {
        FeedbackSubmissionRequest request;
        NimbaraLocale locale;
    };

    FeedbackSubmissionResponse response;
    std::exception_ptr error;
    QList<Call> calls;

    // The next submission waits at the returned gate before it answers.
    std::shared_ptr<Gate> holdNextSubmission() { return nextGate_ = std::make_shared<Gate>(); }

    QCoro::Task<FeedbackSubmissionResponse> submitFeedback(FeedbackSubmissionRequest request,
                                                           NimbaraLocale locale) override;

private:
    std::shared_ptr<Gate> nextGate_;
};

// Runs on a worker thread, hence the lock.
class FakeCodeValidator : public InstalledCodeValidating {
public:
    struct Call {
        QUrl appAt;
        QString expectedBundleID;
        QString expectedVersion;
    };

    // Validating the bundle at `bundlePath` fails with `error`; every other bundle passes.
    void reject(const QString& bundlePath, std::exception_ptr error) {
        QMutexLocker lock(&mutex_);
        rejected_.insert(QDir::cleanPath(bundlePath), std::move(error));
    }
    QList<Call> calls() const {
        QMutexLocker lock(&mutex_);
        return calls_;
    }
    WorkerLatch latch; // a validation waits here once it is recorded in calls()

    void validate(const QUrl& appAt, const QString& expectedBundleID,
                  const QString& expectedVersion) const override;

private:
    mutable QMutex mutex_;
    mutable QList<Call> calls_;
    QHash<QString, std::exception_ptr> rejected_;
};

// The state follows the wish given to setDesired.
class FakeLoginItemManager : public LoginItemManaging {
public:
    LoginItemState currentState = LoginItemState::disabled();
    bool desired = false;
    bool reconciledAfterLaunch = false;
    int reconcileCalls = 0;

    LoginItemState state() const override { return currentState; }
    bool desiredEnabled() const override { return desired; }
    bool hasReconciledAfterLaunch() const override { return reconciledAfterLaunch; }
    void setHasReconciledAfterLaunch(bool reconciled) override {
        reconciledAfterLaunch = reconciled;
    }
    void reconcile() override { ++reconcileCalls; }
    void setDesired(bool enabled) override {
        desired = enabled;
        currentState = enabled ? LoginItemState::enabled() : LoginItemState::disabled();
    }
    void openApprovalSettings() override {}
};

class FakeErrorReporter : public ErrorReporting {
public:
    struct Report {
        QString description; // Error::description(), or what() for other exceptions
        ErrorReportContext context;
    };
    QList<Report> reports;

    void report(const std::exception& error, const ErrorReportContext& context) override;
};

// Called on a worker thread. Tests read `opened` once the store's open has come back to the
// main thread, and set `applications` before it starts.
class FakeWorkspace : public AppWorkspace {
public:
    // What urlForApplication answers, by bundle identifier (none when absent).
    QHash<QString, QUrl> applications;
    QList<QUrl> opened;

    WorkerLatch latch; // lookups wait here

    std::optional<QUrl> urlForApplication(const QString& bundleIdentifier) const override;
    void openApplication(const QUrl& bundleURL) override {
        QMutexLocker lock(&mutex_);
        opened.append(bundleURL);
    }

private:
    QMutex mutex_;
};

class FakeSystemInformation : public SystemInformation {
public:
    OperatingSystemVersion version{14, 5, 0};
    OperatingSystemVersion runningSystemVersion() const override { return version; }
};

// One set of substitutes over a fresh folder of the temporary home, holding the preferences
// file and the install root. wiring() opens the preferences file anew each time, so a second
// store built from it after the first is gone sees exactly what the first one persisted.
class FakeCollaborators {
public:
    FakeCollaborators();

    QString folder;
    QString preferencesPath;
    QString installRoot; // <folder>/Applications/Nimbara
    QUrl launcherBundleURL;
    std::shared_ptr<int> quitCount = std::make_shared<int>(0);

    std::shared_ptr<FakeManifestLoader> manifestLoader = std::make_shared<FakeManifestLoader>();
    std::shared_ptr<FakeInstaller> installer;
    std::shared_ptr<FakeUninstaller> uninstaller = std::make_shared<FakeUninstaller>();
    std::shared_ptr<FakeEventSink> eventSink = std::make_shared<FakeEventSink>();
    std::shared_ptr<FakeFeedbackClient> feedbackClient = std::make_shared<FakeFeedbackClient>();
    std::shared_ptr<FakeCodeValidator> codeValidator = std::make_shared<FakeCodeValidator>();
    std::shared_ptr<FakeLoginItemManager> loginItemManager =
        std::make_shared<FakeLoginItemManager>();
    std::shared_ptr<FakeErrorReporter> errorReporter = std::make_shared<FakeErrorReporter>();
    std::shared_ptr<FakeWorkspace> workspace = std::make_shared<FakeWorkspace>();
    std::shared_ptr<FakeSystemInformation> systemInformation =
        std::make_shared<FakeSystemInformation>();
    // Real or none: mending interrupted installs is file work, tested on real folders.
    std::shared_ptr<InterruptedInstallRecovering> installRecovery;
    // Real or none, for the same reason.
    std::shared_ptr<AppRollingBack> rollback;
    // What the store's clock reads, in milliseconds.
    std::shared_ptr<qint64> now = std::make_shared<qint64>(0);

    // The preferences store of the last wiring.
    std::shared_ptr<PreferencesStore> preferences;

    // A wiring with every substitute, English text and a preferences store newly read from
    // preferencesPath.
    LauncherStoreWiring wiring(LauncherManifest manifest,
                               bool loadStoredStateSynchronously = false);

    // The bundle path an app installed under the install root would have.
    QString bundlePath(const QString& appName) const;

    // Records `appID` as installed at `bundlePath` with `version` in the preferences file (an
    // empty path is left out).
    void persistInstall(const QString& appID, const QString& version, const QString& bundlePath);
    // The persisted maps as the file holds them now.
    QMap<QString, QString> persistedVersions() const;
    QMap<QString, QString> persistedPaths() const;
};

} // namespace nimbara::test
