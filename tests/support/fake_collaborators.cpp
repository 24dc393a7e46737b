#include "support/fake_collaborators.h"

#include "catalog/seed_manifest.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMutexLocker>
#include <stdexcept>

namespace nimbara::test {

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
    const QString contents = QDir(bundlePath).filePath(QStringLiteral("Contents"));
    if (!QDir().mkpath(contents)) {
        throw std::runtime_error("cannot create a bundle folder");
    }
    const QString plist =
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                       "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                       "<plist version=\"1.0\">\n<dict>\n"
                       "\t<key>CFBundleIdentifier</key>\n\t<string>%1</string>\n"
                       "\t<key>CFBundleShortVersionString</key>\n\t<string>%2</string>\n"
                       "\t<key>CFBundleExecutable</key>\n\t<string>app</string>\n"
                       "</dict>\n</plist>\n")
            .arg(bundleIdentifier.toHtmlEscaped(), shortVersion.toHtmlEscaped());
    QFile file(QDir(contents).filePath(QStringLiteral("Info.plist")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(plist.toUtf8()) < 0) {
        throw std::runtime_error("cannot write Info.plist");
    }
}

// --- FakeManifestLoader ----------------------------------------------------------------

void FakeManifestLoader::setCatalog(LauncherManifest catalog) {
    catalog_ = std::move(catalog);
    error_ = nullptr;
}

void FakeManifestLoader::fail(std::exception_ptr error) {
    error_ = std::move(error);
}

std::shared_ptr<Gate> FakeManifestLoader::holdNextLoad() {
    nextGate_ = std::make_shared<Gate>();
    return nextGate_;
}

QCoro::Task<LauncherManifest> FakeManifestLoader::loadManifest(NimbaraLocale locale) {
    calls.append(locale);
    journal_->append(QStringLiteral("load"));
    // Decide the answer when the call arrives, as a request would be sent then.
    const LauncherManifest catalog = catalog_;
    const std::exception_ptr error = error_;
    if (const std::shared_ptr<Gate> gate = std::exchange(nextGate_, nullptr)) {
        co_await *gate;
    }
    ++finished;
    if (error) {
        std::rethrow_exception(error);
    }
    co_return catalog;
}

// --- FakeInstaller ---------------------------------------------------------------------

std::shared_ptr<Gate> FakeInstaller::hold(const QString& appID) {
    auto gate = std::make_shared<Gate>();
    gates_.insert(appID, gate);
    return gate;
}

void FakeInstaller::fail(const QString& appID, std::exception_ptr error) {
    failures_.insert(appID, std::move(error));
}

void FakeInstaller::succeedWith(const QString& appID, InstalledApp result) {
    results_.insert(appID, std::move(result));
}

QCoro::Task<InstalledApp> FakeInstaller::install(AppManifestItem app,
                                                 std::optional<QUrl> existingInstallURL) {
    calls.append({app, existingInstallURL});
    journal_->append(QStringLiteral("install ") + app.id);
    maxInFlight = std::max(maxInFlight, ++inFlight);
    if (const std::shared_ptr<Gate> gate = gates_.value(app.id)) {
        co_await *gate;
    }
    --inFlight;
    ++finished;
    journal_->append(QStringLiteral("installed ") + app.id);
    if (const std::exception_ptr error = failures_.value(app.id)) {
        std::rethrow_exception(error);
    }
    if (results_.contains(app.id)) {
        co_return results_.value(app.id);
    }
    const InstalledApp result{
        QUrl::fromLocalFile(QDir(installRoot_).filePath(app.name + QStringLiteral(".app"))),
        app.version};
    writeBundle(result.url.toLocalFile(), app.bundleId, result.version);
    co_return result;
}

// --- FakeUninstaller -------------------------------------------------------------------

void FakeUninstaller::setProblems(const QString& appID, QStringList problems) {
    problems_.insert(appID, std::move(problems));
}

QCoro::Task<AppRemovalOutcome> FakeUninstaller::removeApp(AppRemovalRequest request) {
    requests.append(request);
    journal_->append(QStringLiteral("remove ") + request.appID);
    if (onRemove) {
        onRemove(request);
    }
    AppRemovalOutcome outcome;
    outcome.appID = request.appID;
    outcome.problems = problems_.value(request.appID);
    outcome.removedBundle = outcome.problems.isEmpty();
    co_return outcome;
}

SelfTrashResult FakeUninstaller::trashSelf(const QUrl& bundleURL) {
    selfTrashCalls.append(bundleURL);
    journal_->append(QStringLiteral("trashSelf"));
    return selfTrashResult;
}

// --- FakeEventSink ---------------------------------------------------------------------

QList<LauncherOperationalEvent> FakeEventSink::eventsFor(const QString& appID) const {
    QList<LauncherOperationalEvent> matching;
    for (const LauncherOperationalEvent& event : events) {
        if (event.appSlug == appID) {
            matching.append(event);
        }
    }
    return matching;
}

QCoro::Task<> FakeEventSink::recordEvent(LauncherOperationalEvent event) {
    journal_->append(
        QStringLiteral("event %1 %2").arg(event.eventType, event.appSlug.value_or(QString())));
    events.append(std::move(event));
    co_return;
}

// --- FakeFeedbackClient ----------------------------------------------------------------

void FakeFeedbackClient::respond(FeedbackSubmissionResponse response) {
    response_ = std::move(response);
    error_ = nullptr;
}

void FakeFeedbackClient::fail(std::exception_ptr error) {
    error_ = std::move(error);
}

std::shared_ptr<Gate> FakeFeedbackClient::holdNextSubmission() {
    nextGate_ = std::make_shared<Gate>();
    return nextGate_;
}

QCoro::Task<FeedbackSubmissionResponse>
FakeFeedbackClient::submitFeedback(FeedbackSubmissionRequest request, NimbaraLocale locale) {
    calls.append({request, locale});
    journal_->append(QStringLiteral("feedback"));
    const FeedbackSubmissionResponse response = response_;
    const std::exception_ptr error = error_;
    if (const std::shared_ptr<Gate> gate = std::exchange(nextGate_, nullptr)) {
        co_await *gate;
    }
    if (error) {
        std::rethrow_exception(error);
    }
    co_return response;
}

// --- FakeCodeValidator -----------------------------------------------------------------

void FakeCodeValidator::reject(const QString& bundlePath, std::exception_ptr error) {
    QMutexLocker lock(&mutex_);
    rejected_.insert(QDir::cleanPath(bundlePath), std::move(error));
}

QList<FakeCodeValidator::Call> FakeCodeValidator::calls() const {
    QMutexLocker lock(&mutex_);
    return calls_;
}

void FakeCodeValidator::validate(const QUrl& appAt, const QString& expectedBundleID,
                                 const QString& expectedVersion) const {
    std::exception_ptr error;
    {
        QMutexLocker lock(&mutex_);
        calls_.append({appAt, expectedBundleID, expectedVersion});
        error = rejected_.value(QDir::cleanPath(appAt.toLocalFile()));
    }
    if (error) {
        std::rethrow_exception(error);
    }
}

// --- FakeLoginItemManager --------------------------------------------------------------

void FakeLoginItemManager::reconcile() {
    ++reconcileCalls;
    journal_->append(QStringLiteral("reconcile"));
}

void FakeLoginItemManager::setDesired(bool enabled) {
    setDesiredCalls.append(enabled);
    journal_->append(QStringLiteral("setDesired %1").arg(enabled ? u"true" : u"false"));
    desired = enabled;
    if (preferences) {
        preferences->setBool(QStringLiteral("nimbara.launchAtLoginDesired"), enabled);
    }
    if (stateAfterSetDesired) {
        currentState = stateAfterSetDesired(enabled);
    }
}

// --- FakeErrorReporter -----------------------------------------------------------------

void FakeErrorReporter::report(const std::exception& error, const ErrorReportContext& context) {
    const auto* ours = dynamic_cast<const Error*>(&error);
    reports.append({ours ? ours->description() : QString::fromUtf8(error.what()), context});
    journal_->append(
        QStringLiteral("report %1 %2")
            .arg(context.value(QStringLiteral("flow")), context.value(QStringLiteral("app"))));
}

// --- FakeWorkspace ---------------------------------------------------------------------

void FakeWorkspace::blockLookups() {
    QMutexLocker lock(&mutex_);
    blocked_ = true;
}

void FakeWorkspace::release() {
    QMutexLocker lock(&mutex_);
    blocked_ = false;
    released_.wakeAll();
}

std::optional<QUrl> FakeWorkspace::urlForApplication(const QString& bundleIdentifier) const {
    QMutexLocker lock(&mutex_);
    while (blocked_) {
        released_.wait(&mutex_);
    }
    const auto found = applications.constFind(bundleIdentifier);
    return found == applications.cend() ? std::nullopt : std::optional(*found);
}

void FakeWorkspace::openApplication(const QUrl& bundleURL) {
    QMutexLocker lock(&mutex_);
    opened.append(bundleURL);
}

// --- FakeMainBundle --------------------------------------------------------------------

std::optional<QVariant> FakeMainBundle::infoValue(const QString& key) const {
    const auto found = info.constFind(key);
    return found == info.cend() ? std::nullopt : std::optional(*found);
}

// --- FakeCollaborators -----------------------------------------------------------------

namespace {
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

FakeCollaborators::FakeCollaborators()
    : folder(freshFolder()),
      preferencesPath(QDir(folder).filePath(QStringLiteral("preferences.plist"))),
      installRoot(QDir(folder).filePath(QStringLiteral("Applications/Nimbara"))),
      launcherBundleURL(QUrl::fromLocalFile(QDir(folder).filePath(QStringLiteral("Nimbara.app")))),
      manifestLoader(std::make_shared<FakeManifestLoader>(journal)),
      installer(std::make_shared<FakeInstaller>(journal, installRoot)),
      uninstaller(std::make_shared<FakeUninstaller>(journal)),
      eventSink(std::make_shared<FakeEventSink>(journal)),
      feedbackClient(std::make_shared<FakeFeedbackClient>(journal)),
      codeValidator(std::make_shared<FakeCodeValidator>()),
      loginItemManager(std::make_shared<FakeLoginItemManager>(journal)),
      errorReporter(std::make_shared<FakeErrorReporter>(journal)),
      workspace(std::make_shared<FakeWorkspace>()),
      systemInformation(std::make_shared<FakeSystemInformation>()),
      mainBundle(std::make_shared<FakeMainBundle>()) {
    QDir().mkpath(installRoot);
    mainBundle->url = launcherBundleURL;
    mainBundle->info.insert(QStringLiteral("CFBundleShortVersionString"), QStringLiteral("2.3.4"));
    manifestLoader->setCatalog(SeedManifest::manifest());
}

LauncherStoreWiring FakeCollaborators::wiring(LauncherManifest manifest,
                                              bool loadStoredStateSynchronously) {
    preferences = std::make_shared<PreferencesStore>(preferencesPath);
    loginItemManager->preferences = preferences;

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
    wiring.quitHandler = [count = quitCount, journal = journal] {
        ++*count;
        journal->append(QStringLiteral("quit"));
    };
    wiring.appBundleURLProvider = [url = launcherBundleURL] {
        return url;
    };
    wiring.errorReporter = errorReporter;
    wiring.workspace = workspace;
    wiring.systemInformation = systemInformation;
    wiring.mainBundle = mainBundle;
    wiring.locale = NimbaraLocale::en;
    return wiring;
}

QString FakeCollaborators::bundlePath(const QString& appName) const {
    return QDir(installRoot).filePath(appName + QStringLiteral(".app"));
}

void FakeCollaborators::persistInstall(const QString& appID, const QString& version,
                                       const QString& bundlePath) {
    PreferencesStore file(preferencesPath);
    if (!version.isEmpty()) {
        QMap<QString, QString> versions =
            loadStringDictionary(file, QStringLiteral("nimbara.installedVersions"));
        versions.insert(appID, version);
        saveStringDictionary(file, QStringLiteral("nimbara.installedVersions"), versions);
    }
    if (!bundlePath.isEmpty()) {
        QMap<QString, QString> paths =
            loadStringDictionary(file, QStringLiteral("nimbara.installedPaths"));
        paths.insert(appID, bundlePath);
        saveStringDictionary(file, QStringLiteral("nimbara.installedPaths"), paths);
    }
}

QMap<QString, QString> FakeCollaborators::persistedVersions() const {
    return loadStringDictionary(PreferencesStore(preferencesPath),
                                QStringLiteral("nimbara.installedVersions"));
}

QMap<QString, QString> FakeCollaborators::persistedPaths() const {
    return loadStringDictionary(PreferencesStore(preferencesPath),
                                QStringLiteral("nimbara.installedPaths"));
}

} // namespace nimbara::test
