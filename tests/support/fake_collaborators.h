#pragma once

// Substitutes for every collaborator of the launcher store. Each one records how it was called
// and answers as the test scripted it; asynchronous operations can be held open at a Gate until
// the test opens it, so that tests can look at the store while an operation is still waiting.
// The substitutes of one FakeCollaborators (all but the code validator, which may run on a worker
// thread) write to one shared journal, which lets a test check the order of calls across
// collaborators.

#include "contracts/collaborator_contracts.h"
#include "core/error.h"
#include "platform/app_workspace.h"
#include "platform/main_bundle.h"
#include "platform/preferences_store.h"
#include "platform/system_information.h"
#include "store/launcher_store.h"

#include <QHash>
#include <QMutex>
#include <QStringList>
#include <QWaitCondition>
#include <coroutine>
#include <exception>
#include <functional>
#include <memory>
#include <vector>

namespace nimbara::test {

// The calls of all substitutes in the order they were made, e.g. "install alpha",
// "event install_started alpha", "report install alpha".
using Journal = std::shared_ptr<QStringList>;

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

class FakeManifestLoader : public ManifestLoading {
public:
    explicit FakeManifestLoader(Journal journal) : journal_(std::move(journal)) {}

    // Every later load returns `catalog`, until the next set or fail.
    void setCatalog(LauncherManifest catalog);
    // Every later load fails with `error`, until the next set or fail.
    void fail(std::exception_ptr error);
    // The next load waits at the returned gate before it answers.
    std::shared_ptr<Gate> holdNextLoad();

    QList<NimbaraLocale> calls;
    int finished = 0;

    QCoro::Task<LauncherManifest> loadManifest(NimbaraLocale locale) override;

private:
    Journal journal_;
    LauncherManifest catalog_;
    std::exception_ptr error_;
    std::shared_ptr<Gate> nextGate_;
};

class FakeInstaller : public AppInstalling {
public:
    // `installRoot` is where successful installs place their bundle.
    FakeInstaller(Journal journal, QString installRoot)
        : journal_(std::move(journal)), installRoot_(std::move(installRoot)) {}

    struct Call {
        AppManifestItem app;
        std::optional<QUrl> existingInstallURL;
    };

    // Installs of `appID` wait at the returned gate (one gate for every later install of it).
    std::shared_ptr<Gate> hold(const QString& appID);
    // Installs of `appID` fail with `error`.
    void fail(const QString& appID, std::exception_ptr error);
    // Installs of `appID` return `result` (and write no bundle). Unscripted installs write a
    // real bundle at <installRoot>/<app name>.app with the catalog version.
    void succeedWith(const QString& appID, InstalledApp result);

    QList<Call> calls;
    int inFlight = 0;
    int maxInFlight = 0;
    int finished = 0;

    QCoro::Task<InstalledApp> install(AppManifestItem app,
                                      std::optional<QUrl> existingInstallURL) override;

private:
    Journal journal_;
    QString installRoot_;
    QHash<QString, std::shared_ptr<Gate>> gates_;
    QHash<QString, std::exception_ptr> failures_;
    QHash<QString, InstalledApp> results_;
};

class FakeUninstaller : public AppUninstalling {
public:
    explicit FakeUninstaller(Journal journal) : journal_(std::move(journal)) {}

    // Removals of `appID` report these problems (none by default).
    void setProblems(const QString& appID, QStringList problems);
    // Called when a removal request arrives, before it is answered.
    std::function<void(const AppRemovalRequest&)> onRemove;

    QList<AppRemovalRequest> requests;
    QList<QUrl> selfTrashCalls;
    SelfTrashResult selfTrashResult = SelfTrashResult::trashed();

    QCoro::Task<AppRemovalOutcome> removeApp(AppRemovalRequest request) override;
    SelfTrashResult trashSelf(const QUrl& bundleURL) override;

private:
    Journal journal_;
    QHash<QString, QStringList> problems_;
};

class FakeEventSink : public OperationalEventRecording {
public:
    explicit FakeEventSink(Journal journal) : journal_(std::move(journal)) {}

    QList<LauncherOperationalEvent> events;
    // The events of one app, in order.
    QList<LauncherOperationalEvent> eventsFor(const QString& appID) const;

    QCoro::Task<> recordEvent(LauncherOperationalEvent event) override;

private:
    Journal journal_;
};

class FakeFeedbackClient : public FeedbackReporting {
public:
    explicit FakeFeedbackClient(Journal journal) : journal_(std::move(journal)) {}

    struct Call {
        FeedbackSubmissionRequest request;
        NimbaraLocale locale;
    };

    // Every later submission answers `response`.
    void respond(FeedbackSubmissionResponse response);
    // Every later submission fails with `error`.
    void fail(std::exception_ptr error);
    // The next submission waits at the returned gate before it answers.
    std::shared_ptr<Gate> holdNextSubmission();

    QList<Call> calls;

    QCoro::Task<FeedbackSubmissionResponse> submitFeedback(FeedbackSubmissionRequest request,
                                                           NimbaraLocale locale) override;

private:
    Journal journal_;
    FeedbackSubmissionResponse response_;
    std::exception_ptr error_;
    std::shared_ptr<Gate> nextGate_;
};

class FakeCodeValidator : public InstalledCodeValidating {
public:
    // Not journalled: a validation may run on a worker thread.
    FakeCodeValidator() = default;

    struct Call {
        QUrl appAt;
        QString expectedBundleID;
        QString expectedVersion;
    };

    // Validating the bundle at `bundlePath` fails with `error`; every other bundle passes.
    void reject(const QString& bundlePath, std::exception_ptr error);
    QList<Call> calls() const;

    void validate(const QUrl& appAt, const QString& expectedBundleID,
                  const QString& expectedVersion) const override;

private:
    mutable QMutex mutex_;
    mutable QList<Call> calls_;
    QHash<QString, std::exception_ptr> rejected_;
};

class FakeLoginItemManager : public LoginItemManaging {
public:
    explicit FakeLoginItemManager(Journal journal) : journal_(std::move(journal)) {}

    // Like the real manager, setDesired writes the wish to "nimbara.launchAtLoginDesired" of
    // this preferences store (when set).
    std::shared_ptr<PreferencesStore> preferences;
    LoginItemState currentState = LoginItemState::disabled();
    // The state after setDesired(enabled) is the given one; unset leaves the state as it is.
    std::function<LoginItemState(bool enabled)> stateAfterSetDesired;
    bool desired = false;
    bool reconciledAfterLaunch = false;
    int reconcileCalls = 0;
    QList<bool> setDesiredCalls;

    LoginItemState state() const override { return currentState; }
    bool desiredEnabled() const override { return desired; }
    bool hasReconciledAfterLaunch() const override { return reconciledAfterLaunch; }
    void setHasReconciledAfterLaunch(bool reconciled) override {
        reconciledAfterLaunch = reconciled;
    }
    void reconcile() override;
    void setDesired(bool enabled) override;
    void openApprovalSettings() override {}

private:
    Journal journal_;
};

class FakeErrorReporter : public ErrorReporting {
public:
    explicit FakeErrorReporter(Journal journal) : journal_(std::move(journal)) {}

    struct Report {
        QString description; // Error::description(), or what() for other exceptions
        ErrorReportContext context;
    };
    QList<Report> reports;

    void report(const std::exception& error, const ErrorReportContext& context) override;

private:
    Journal journal_;
};

// Called on a worker thread, so not journalled. Tests read `opened` once the store's open has
// come back to the main thread, and set `applications` before it starts.
class FakeWorkspace : public AppWorkspace {
public:
    // What urlForApplication answers, by bundle identifier (none when absent).
    QHash<QString, QUrl> applications;
    QList<QUrl> opened;

    // Later lookups wait until release() is called.
    void blockLookups();
    void release();

    std::optional<QUrl> urlForApplication(const QString& bundleIdentifier) const override;
    void openApplication(const QUrl& bundleURL) override;

private:
    mutable QMutex mutex_;
    mutable QWaitCondition released_;
    bool blocked_ = false;
};

class FakeSystemInformation : public SystemInformation {
public:
    OperatingSystemVersion version{14, 5, 0};
    OperatingSystemVersion runningSystemVersion() const override { return version; }
};

class FakeMainBundle : public MainBundle {
public:
    QUrl url;
    QHash<QString, QVariant> info;

    QUrl bundleURL() const override { return url; }
    std::optional<QVariant> infoValue(const QString& key) const override;
};

// One set of substitutes over a fresh folder of the temporary home, holding the preferences
// file and the install root. wiring() opens the preferences file anew each time, so a second
// store built from it after the first is gone sees exactly what the first one persisted.
class FakeCollaborators {
public:
    FakeCollaborators();

    Journal journal = std::make_shared<QStringList>();
    QString folder;
    QString preferencesPath;
    QString installRoot; // <folder>/Applications/Nimbara
    QUrl launcherBundleURL;
    std::shared_ptr<int> quitCount = std::make_shared<int>(0);

    std::shared_ptr<FakeManifestLoader> manifestLoader;
    std::shared_ptr<FakeInstaller> installer;
    std::shared_ptr<FakeUninstaller> uninstaller;
    std::shared_ptr<FakeEventSink> eventSink;
    std::shared_ptr<FakeFeedbackClient> feedbackClient;
    std::shared_ptr<FakeCodeValidator> codeValidator;
    std::shared_ptr<FakeLoginItemManager> loginItemManager;
    std::shared_ptr<FakeErrorReporter> errorReporter;
    std::shared_ptr<FakeWorkspace> workspace;
    std::shared_ptr<FakeSystemInformation> systemInformation;
    std::shared_ptr<FakeMainBundle> mainBundle;

    // The preferences store of the last wiring (also the login-item manager's).
    std::shared_ptr<PreferencesStore> preferences;

    // A wiring with every substitute, English text and a preferences store newly read from
    // preferencesPath.
    LauncherStoreWiring wiring(LauncherManifest manifest,
                               bool loadStoredStateSynchronously = false);

    // The bundle path an app installed under the install root would have.
    QString bundlePath(const QString& appName) const;

    // Before any store is built: records `appID` as installed at `bundlePath` with `version`
    // in the preferences file (either map may be left out by passing an empty string).
    void persistInstall(const QString& appID, const QString& version, const QString& bundlePath);
    // The persisted maps as the file holds them now.
    QMap<QString, QString> persistedVersions() const;
    QMap<QString, QString> persistedPaths() const;
};

} // namespace nimbara::test
