#include "services/launcher_updater.h"

#include "catalog/version_order.h"
#include "core/logging.h"
#include "platform/detached_task.h"
#include "platform/network_session.h"
#include "services/launcher_update_error.h"

namespace nimbara {

namespace {

// An appcast lists a few releases with their notes; anything bigger is not one.
constexpr qint64 kMaximumFeedSize = 1024 * 1024;
// A feed that trickles in is given up after this long, whatever the transfer time-out says.
constexpr std::chrono::milliseconds kFeedDeadline{60'000};

// How much of the install bar each step fills: the download most of it.
double fractionOf(const InstallProgress& progress) {
    switch (progress.phase) {
    case InstallProgress::Phase::downloading:
        if (progress.totalBytes && *progress.totalBytes > 0)
            return 0.7 * std::clamp(double(progress.receivedBytes) / double(*progress.totalBytes),
                                    0.0, 1.0);
        return 0.0;
    case InstallProgress::Phase::checking:
        return 0.72;
    case InstallProgress::Phase::unpacking:
        return 0.76;
    case InstallProgress::Phase::validating:
        return 0.84;
    case InstallProgress::Phase::placing:
        return 0.92;
    }
    return 0.0;
}

} // namespace

LauncherUpdaterSettings LauncherUpdaterSettings::of(const MainBundle& bundle,
                                                    bool runsFromAppBundle) {
    LauncherUpdaterSettings settings;
    const std::optional<QVariant> feed = bundle.infoValue(QStringLiteral("SUFeedURL"));
    if (feed && feed->typeId() == QMetaType::QString)
        settings.feedURL = feed->toString();
    const std::optional<QVariant> identifier =
        bundle.infoValue(QStringLiteral("CFBundleIdentifier"));
    if (identifier && identifier->typeId() == QMetaType::QString)
        settings.bundleIdentifier = identifier->toString();
    settings.currentVersion = launcherVersion(bundle);
    settings.bundleURL = bundle.bundleURL();
    settings.runsFromAppBundle = runsFromAppBundle;
    return settings;
}

AppManifestItem launcherRelease(const AppcastItem& item, const QString& bundleIdentifier) {
    AppManifestItem release;
    release.id = QStringLiteral("nimbara");
    release.name = QStringLiteral("Nimbara");
    release.bundleId = bundleIdentifier;
    release.version = item.version;
    release.minMacOS = item.minimumSystemVersionText.isEmpty() ? QStringLiteral("0")
                                                               : item.minimumSystemVersionText;
    release.status = AppReleaseStatus::live;
    release.downloadUrl = item.downloadURL;
    release.sha256 = item.sha256;
    return release;
}

QCoro::Task<Appcast> fetchAppcast(QNetworkAccessManager& session, QUrl feed) {
    if (!feed.isValid() || feed.host().isEmpty() ||
        (feed.scheme() != QLatin1String("https") && !isLocalHTTP(feed)))
        throw LauncherUpdateError::insecureFeed(feed.toString());
    QNetworkRequest request = makeNetworkRequest(feed);
    // A check asks the server every time: a cached feed would hide the release just published.
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    QCoro::Task<HttpResponse> getting = httpGet(session, request, kFeedDeadline, kMaximumFeedSize);
    const HttpResponse response = co_await std::move(getting);
    const int status = response.statusCode.value_or(0);
    if (status < 200 || status > 299)
        throw LauncherUpdateError::feedUnavailable(status);
    if (response.body.trimmed().isEmpty())
        throw LauncherUpdateError::emptyFeed();
    co_return parseAppcast(response.body);
}

LauncherUpdater::LauncherUpdater(LauncherUpdaterSettings settings, LauncherUpdaterServices services,
                                 bool startsUpdater, QObject* parent)
    : QObject(parent), settings_(std::move(settings)), services_(std::move(services)) {
    isEnabled_ = !settings_.feedURL.value_or(QString()).trimmed().isEmpty();
    started_ = isEnabled_ && startsUpdater;
    if (!started_) {
        qCInfo(logServices) << "self-update is off:"
                            << (isEnabled_ ? "the updater was not started"
                                           : "the launcher names no update feed");
        return;
    }
    canCheckForUpdates_ = true;
    schedule_.setSingleShot(true);
    connect(&schedule_, &QTimer::timeout, this, [this] {
        schedule_.start(settings_.checkInterval);
        // A check that is running, or an offer the user has not answered yet, is not disturbed.
        if (canCheckForUpdates_ && !showingDialog_)
            startCheck(false);
    });
    schedule_.start(settings_.firstCheckDelay);
}

LauncherUpdater::~LauncherUpdater() {
    cancellation_.cancel();
}

QString LauncherUpdater::releaseNotesLink() const {
    return offered_ && offered_->releaseNotesURL ? offered_->releaseNotesURL->toString()
                                                 : QString();
}

void LauncherUpdater::checkForUpdates() {
    if (!isEnabled_ || !canCheckForUpdates_)
        return;
    startCheck(true);
}

void LauncherUpdater::startCheck(bool userInitiated) {
    userInitiated_ = userInitiated;
    offered_.reset();
    failureReason_.clear();
    setPhase(Phase::Checking);
    if (userInitiated)
        setShowingDialog(true);
    startDetached(runCheck(), logServices(), QStringLiteral("update check"));
}

QCoro::Task<> LauncherUpdater::runCheck() {
    QPointer<LauncherUpdater> self(this);
    const QUrl feed(settings_.feedURL.value_or(QString()).trimmed());
    try {
        QCoro::Task<Appcast> fetching = fetchAppcast(*services_.session, feed);
        const Appcast appcast = co_await std::move(fetching);
        if (!self)
            co_return;
        const std::optional<AppcastItem> newest =
            newestRunnableItem(appcast.items, services_.system->runningSystemVersion());
        if (newest && compareVersions(newest->version, settings_.currentVersion) ==
                          VersionOrder::descending) {
            qCInfo(logServices).noquote() << "update" << newest->version << "is available (running"
                                          << settings_.currentVersion + u')';
            offered_ = newest;
            setPhase(Phase::UpdateAvailable);
            setShowingDialog(true);
            co_return;
        }
        qCInfo(logServices).noquote()
            << "the launcher is up to date at" << settings_.currentVersion;
        setPhase(userInitiated_ ? Phase::UpToDate : Phase::Idle);
    } catch (const std::exception& error) {
        if (!self)
            co_return;
        qCWarning(logServices).noquote() << "update check failed:" << nimbara::failureReason(error);
        failureReason_ = errorDescription(error);
        setPhase(userInitiated_ ? Phase::CheckFailed : Phase::Idle);
    }
}

void LauncherUpdater::installUpdate() {
    if (phase_ != Phase::UpdateAvailable || !offered_)
        return;
    cancellation_ = CancellationToken();
    failureReason_.clear();
    setProgress(0);
    setPhase(Phase::Installing);
    startDetached(runInstall(*offered_), logServices(), QStringLiteral("update install"));
}

QCoro::Task<> LauncherUpdater::runInstall(AppcastItem item) {
    QPointer<LauncherUpdater> self(this);
    const CancellationToken cancellation = cancellation_;
    try {
        if (!settings_.runsFromAppBundle)
            throw LauncherUpdateError::notInAppBundle();
        InstallProgressSink progress = [self](const InstallProgress& done) {
            if (self)
                self->noteProgress(done);
        };
        QCoro::Task<InstalledApp> installing =
            services_.installer->install(launcherRelease(item, settings_.bundleIdentifier),
                                         settings_.bundleURL, std::move(progress), cancellation);
        const InstalledApp installed = co_await std::move(installing);
        if (!self)
            co_return;
        qCInfo(logServices).noquote()
            << "installed update" << installed.version << "at" << installed.url.toLocalFile();
        setProgress(1);
        setPhase(Phase::Relaunching);
        services_.relaunch(installed.url);
    } catch (const CancelledError&) {
        if (!self)
            co_return;
        qCInfo(logServices) << "the update install was cancelled";
        setShowingDialog(false);
        setPhase(Phase::Idle);
    } catch (const std::exception& error) {
        if (!self)
            co_return;
        qCWarning(logServices).noquote()
            << "update install failed:" << nimbara::failureReason(error);
        failureReason_ = errorDescription(error);
        setPhase(Phase::InstallFailed);
    }
}

void LauncherUpdater::dismiss() {
    switch (phase_) {
    case Phase::Installing:
        cancellation_.cancel();
        return;
    case Phase::Relaunching:
        return;
    default:
        setShowingDialog(false);
        setPhase(Phase::Idle);
    }
}

void LauncherUpdater::noteProgress(const InstallProgress& progress) {
    setProgress(std::max(progress_, fractionOf(progress)));
}

void LauncherUpdater::setPhase(Phase phase) {
    if (phase_ != phase) {
        phase_ = phase;
        Q_EMIT phaseChanged();
    }
    const bool busy =
        phase_ == Phase::Checking || phase_ == Phase::Installing || phase_ == Phase::Relaunching;
    const bool canCheck = started_ && !busy;
    if (canCheckForUpdates_ != canCheck) {
        canCheckForUpdates_ = canCheck;
        Q_EMIT canCheckForUpdatesChanged();
    }
}

void LauncherUpdater::setShowingDialog(bool showing) {
    if (showingDialog_ != showing) {
        showingDialog_ = showing;
        Q_EMIT showingDialogChanged();
    }
}

void LauncherUpdater::setProgress(double progress) {
    if (progress_ != progress) {
        progress_ = progress;
        Q_EMIT progressChanged();
    }
}

} // namespace nimbara
