#include "support/fake_collaborators.h"

#include "catalog/seed_manifest.h"
#include "support/sample_bundle.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <stdexcept>

namespace nimbara::test {

namespace {

// Literal on purpose: the keys are the file format that survives updates of the launcher.
const QString kVersionsKey = QStringLiteral("nimbara.installedVersions");
const QString kPathsKey = QStringLiteral("nimbara.installedPaths");

QString freshFolder() {
    static int counter = 0;
    const QString home = qEnvironmentVariable("HOME");
    if (home.isEmpty()) {
        throw std::runtime_error("HOME is not set");
    }
    QString folder;
    do {
        folder = QDir(home).filePath(QStringLiteral("store-case-%1").arg(++counter));
    } while (QFile::exists(folder));
    if (!QDir().mkpath(folder)) {
        throw std::runtime_error("cannot create a case folder");
    }
    return folder;
}

} // namespace

void Gate::open() {
    open_ = true;
    std::vector<std::coroutine_handle<>> waiters;
    waiters.swap(waiters_);
    for (std::coroutine_handle<> handle : waiters) {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [handle] { handle.resume(); }, Qt::QueuedConnection);
    }
}

void writeBundle(const QString& bundlePath, const QString& bundleIdentifier,
                 const QString& shortVersion) {
    QDir().mkpath(bundlePath + QStringLiteral("/Contents"));
    writeBytes(bundlePath + QStringLiteral("/Contents/Info.plist"),
               infoPlist({{QStringLiteral("CFBundleIdentifier"), bundleIdentifier},
                          {QStringLiteral("CFBundleShortVersionString"), shortVersion},
                          {QStringLiteral("CFBundleExecutable"), QStringLiteral("app")}}));
}

namespace {

// The scripted answer, given once `gate` (if any) opens. The answer is decided when the call
// arrives, as a request would be sent then.
template <typename T>
QCoro::Task<T> answerWhenOpen(T answer, std::exception_ptr failure, std::shared_ptr<Gate> gate) {
    if (gate) {
        co_await *gate;
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
    co_return answer;
}

} // namespace

QCoro::Task<LauncherManifest> FakeManifestLoader::loadManifest(NimbaraLocale locale) {
    calls.append(locale);
    return answerWhenOpen(catalog, error, std::exchange(nextGate_, nullptr));
}

QCoro::Task<InstalledApp> FakeInstaller::install(AppManifestItem app,
                                                 std::optional<QUrl> existingInstallURL,
                                                 InstallProgressSink progress,
                                                 CancellationToken cancellation) {
    calls.append({app, existingInstallURL});
    sinks.insert(app.id, std::move(progress));
    tokens.insert(app.id, cancellation);
    ++inFlight;
    if (const std::shared_ptr<Gate> gate = gates_.value(app.id)) {
        // A cancel stops the transfer at once.
        cancellation.onCancel(QCoreApplication::instance(), [gate] { gate->open(); });
        co_await *gate;
    }
    --inFlight;
    ++finished;
    if (!swapping.contains(app.id)) {
        cancellation.throwIfCancelled();
    }
    if (const std::exception_ptr failure = failures.value(app.id)) {
        std::rethrow_exception(failure);
    }
    if (results.contains(app.id)) {
        co_return results.value(app.id);
    }
    const InstalledApp result{
        QUrl::fromLocalFile(QDir(installRoot_).filePath(app.name + QStringLiteral(".app"))),
        app.version};
    writeBundle(result.url.toLocalFile(), app.bundleId, result.version);
    co_return result;
}

QCoro::Task<AppRemovalOutcome> FakeUninstaller::removeApp(AppRemovalRequest request) {
    requests.append(request);
    if (onRemove) {
        onRemove(request);
    }
    const QStringList found = problems.value(request.appID);
    co_return AppRemovalOutcome{request.appID, found.isEmpty(), {}, found};
}

QCoro::Task<> FakeEventSink::recordEvent(LauncherOperationalEvent event) {
    events.append(std::move(event));
    if (error) {
        std::rethrow_exception(error);
    }
    co_return;
}

QCoro::Task<FeedbackSubmissionResponse>
FakeFeedbackClient::submitFeedback(FeedbackSubmissionRequest request, NimbaraLocale locale) {
    calls.append({request, locale});
    return answerWhenOpen(response, error, std::exchange(nextGate_, nullptr));
}

void FakeCodeValidator::validate(const QUrl& appAt, const QString& expectedBundleID,
                                 const QString& expectedVersion) const {
    std::exception_ptr error;
    {
        QMutexLocker lock(&mutex_);
        calls_.append({appAt, expectedBundleID, expectedVersion});
        error = rejected_.value(QDir::cleanPath(appAt.toLocalFile()));
    }
    latch.pass();
    if (error) {
        std::rethrow_exception(error);
    }
}

void FakeErrorReporter::report(const std::exception& error, const ErrorReportContext& context) {
    const auto* ours = dynamic_cast<const Error*>(&error);
    reports.append({ours ? ours->description() : QString::fromUtf8(error.what()), context});
}

void WorkerLatch::close() {
    QMutexLocker lock(&mutex_);
    closed_ = true;
}

void WorkerLatch::open() {
    QMutexLocker lock(&mutex_);
    closed_ = false;
    opened_.wakeAll();
}

void WorkerLatch::pass() const {
    QMutexLocker lock(&mutex_);
    while (closed_) {
        opened_.wait(&mutex_);
    }
}

std::optional<QUrl> FakeWorkspace::urlForApplication(const QString& bundleIdentifier) const {
    latch.pass();
    const auto found = applications.constFind(bundleIdentifier);
    return found == applications.cend() ? std::nullopt : std::optional(*found);
}

FakeCollaborators::FakeCollaborators()
    : folder(freshFolder()),
      preferencesPath(QDir(folder).filePath(QStringLiteral("preferences.plist"))),
      installRoot(QDir(folder).filePath(QStringLiteral("Applications/Nimbara"))),
      launcherBundleURL(QUrl::fromLocalFile(QDir(folder).filePath(QStringLiteral("Nimbara.app")))),
      installer(std::make_shared<FakeInstaller>(installRoot)) {
    QDir().mkpath(installRoot);
    manifestLoader->catalog = SeedManifest::manifest();
}

LauncherStoreWiring FakeCollaborators::wiring(LauncherManifest manifest,
                                              bool loadStoredStateSynchronously) {
    preferences = std::make_shared<PreferencesStore>(preferencesPath);

    LauncherStoreWiring wiring;
    wiring.manifestLoader = manifestLoader;
    wiring.installer = installer;
    wiring.uninstaller = uninstaller;
    wiring.eventSink = eventSink;
    wiring.feedbackClient = feedbackClient;
    wiring.installedCodeValidator = codeValidator;
    wiring.loginItemManager = loginItemManager;
    wiring.manifest = std::move(manifest);
    wiring.userDefaults = preferences;
    wiring.loadStoredStateSynchronously = loadStoredStateSynchronously;
    wiring.quitHandler = [count = quitCount] {
        ++*count;
    };
    wiring.appBundleURLProvider = [url = launcherBundleURL] {
        return url;
    };
    wiring.errorReporter = errorReporter;
    wiring.workspace = workspace;
    wiring.systemInformation = systemInformation;
    wiring.locale = NimbaraLocale::en;
    wiring.installRecovery = installRecovery;
    wiring.rollback = rollback;
    wiring.clock = [now = now] {
        return *now;
    };
    return wiring;
}

QString FakeCollaborators::bundlePath(const QString& appName) const {
    return QDir(installRoot).filePath(appName + QStringLiteral(".app"));
}

void FakeCollaborators::persistInstall(const QString& appID, const QString& version,
                                       const QString& bundlePath) {
    PreferencesStore file(preferencesPath);
    QMap<QString, QString> versions = loadStringDictionary(file, kVersionsKey);
    versions.insert(appID, version);
    saveStringDictionary(file, kVersionsKey, versions);
    if (!bundlePath.isEmpty()) {
        QMap<QString, QString> paths = loadStringDictionary(file, kPathsKey);
        paths.insert(appID, bundlePath);
        saveStringDictionary(file, kPathsKey, paths);
    }
}

QMap<QString, QString> FakeCollaborators::persistedVersions() const {
    return loadStringDictionary(PreferencesStore(preferencesPath), kVersionsKey);
}

QMap<QString, QString> FakeCollaborators::persistedPaths() const {
    return loadStringDictionary(PreferencesStore(preferencesPath), kPathsKey);
}

} // namespace nimbara::test
