#pragma once

#include "contracts/collaborator_contracts.h"
#include "platform/main_bundle.h"
#include "platform/network_session.h"

#include <QNetworkAccessManager>
#include <QStringView>
#include <QUrl>
#include <chrono>

namespace nimbara {

// Sends feedback reports to the feedback server: one JSON POST to <base>/api/feedback per
// report. Used on the main thread.
class RemoteFeedbackClient : public FeedbackReporting {
public:
    // `session` is shared, not owned, and must outlive the client. `timeout` is the time
    // without progress after which a request fails.
    RemoteFeedbackClient(QUrl baseURL, QNetworkAccessManager& session,
                         std::chrono::milliseconds timeout = networkTransferTimeout);
    RemoteFeedbackClient(const RemoteFeedbackClient&) = delete;
    RemoteFeedbackClient& operator=(const RemoteFeedbackClient&) = delete;

    // The service base URL, first match wins: NIMBARA_API_URL when set to an absolute URL;
    // the Info.plist string "NimbaraAPIURL" when non-empty and an absolute URL; else the local
    // development server, http://127.0.0.1:3000. `bundle` may be null.
    static QUrl defaultBaseURL(const MainBundle* bundle);

    const QUrl& baseURL() const noexcept { return baseURL_; }
    QNetworkAccessManager& session() const noexcept { return *session_; }

    // An endpoint below the base URL (see serviceURL): url(u"/api/feedback").
    QUrl url(QStringView path) const { return serviceURL(baseURL_, path); }

    // Sends the report as it is given. A 2xx answer is decoded as the server's response
    // (DecodingError when it is not one). Any other status throws FeedbackClientError:
    // server(message, else error) when the body is an error object, else
    // invalidStatus(status). An answer that is not HTTP throws invalidResponse; a transport
    // failure throws NetworkError.
    QCoro::Task<FeedbackSubmissionResponse> submitFeedback(FeedbackSubmissionRequest request,
                                                           NimbaraLocale locale) override;

private:
    QUrl baseURL_;
    QNetworkAccessManager* session_;
    std::chrono::milliseconds timeout_;
};

} // namespace nimbara
