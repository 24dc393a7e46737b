#include "catalog/manifest_policy.h"
#include "contracts/feedback_client_error.h"
#include "core/logging.h"
#include "platform/system_information.h"
#include "store/launcher_store.h"

#include <QUuid>

namespace nimbara {

QCoro::Task<> LauncherStore::submitFeedback(FeedbackType type, QString title, QString description,
                                            std::optional<QString> appID) {
    std::optional<AppManifestItem> relatedApp;
    if (appID) {
        for (const AppManifestItem& app :
             ManifestPolicy::visibleApps(manifest_, includeBetaApps_)) {
            if (app.id == *appID) {
                relatedApp = app;
                break;
            }
        }
    }
    FeedbackSubmissionRequest request;
    request.clientRequestId = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    request.type = type;
    request.title = title.trimmed();
    request.description = description.trimmed();
    if (relatedApp) {
        request.appId = relatedApp->id;
    }
    request.diagnostics = feedbackDiagnostics(relatedApp);

    setFeedbackState(FeedbackSubmissionState::submitting());
    QPointer<LauncherStore> self(this);
    const std::shared_ptr<FeedbackReporting> client = wiring_.feedbackClient;
    std::optional<FeedbackSubmissionResponse> response;
    std::optional<QString> failure;
    try {
        response = co_await client->submitFeedback(std::move(request), locale_);
    } catch (const FeedbackClientError& error) {
        qCWarning(logStore).noquote() << "feedback submission failed:" << failureReason(error);
        failure =
            error.kind() == FeedbackClientError::Case::server ? error.description() : QString();
    } catch (...) {
        qCWarning(logStore).noquote() << "feedback submission failed:" << currentFailureReason();
        failure = QString();
    }
    if (!self) {
        co_return;
    }
    if (response) {
        setFeedbackState(FeedbackSubmissionState::submitted(response->issue));
        co_return;
    }
    // The server's own words when it gave any; otherwise one generic text.
    setFeedbackState(FeedbackSubmissionState::failed(
        failure->isNull() ? text(CopyKey::feedbackSubmitFailed) : *failure));
}

FeedbackDiagnostics
LauncherStore::feedbackDiagnostics(const std::optional<AppManifestItem>& relatedApp) const {
    FeedbackDiagnostics diagnostics;
    const OperatingSystemVersion system = wiring_.systemInformation
                                              ? wiring_.systemInformation->runningSystemVersion()
                                              : OperatingSystemVersion{};
    diagnostics.macOSVersion = system.toString();
    diagnostics.launcherVersion = launcherVersion();
    diagnostics.locale = QString(NimbaraLocales::rawValue(locale_));
    diagnostics.catalogLifecycle = catalogLifecycleName();
    diagnostics.visibleAppCount =
        int(ManifestPolicy::visibleApps(manifest_, includeBetaApps_).size());
    diagnostics.publishedAppCount =
        int(ManifestPolicy::publishedApps(manifest_, includeBetaApps_).size());
    diagnostics.comingSoonAppCount = int(ManifestPolicy::comingSoonApps(manifest_).size());
    if (const std::optional<AppManifestItem> app = relatedApp ? relatedApp : selectedApp()) {
        diagnostics.selectedAppId = app->id;
        diagnostics.selectedAppName = app->name;
        diagnostics.selectedAppVersion = app->version;
    }
    return diagnostics;
}

} // namespace nimbara
