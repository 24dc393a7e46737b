#include "services/remote_feedback_client.h"

#include "contracts/feedback_client_error.h"
#include "core/decoding_error.h"
#include "core/json_coding.h"
#include "core/logging.h"
#include "services/feedback_coding.h"

namespace nimbara {

RemoteFeedbackClient::RemoteFeedbackClient(QUrl baseURL, QNetworkAccessManager& session,
                                           std::chrono::milliseconds timeout)
    : baseURL_(std::move(baseURL)), session_(&session), timeout_(timeout) {}

QUrl RemoteFeedbackClient::defaultBaseURL(const MainBundle* bundle) {
    return configuredURL("NIMBARA_API_URL", bundle, QStringLiteral("NimbaraAPIURL"))
        .value_or(QUrl(QStringLiteral("http://127.0.0.1:3000")));
}

QCoro::Task<FeedbackSubmissionResponse>
RemoteFeedbackClient::submitFeedback(FeedbackSubmissionRequest request, NimbaraLocale locale) {
    // Everything the request needs is taken before the first suspension.
    QNetworkAccessManager& session = *session_;
    QNetworkRequest httpRequest = makeNetworkRequest(url(u"/api/feedback"), timeout_);
    httpRequest.setHeader(QNetworkRequest::ContentTypeHeader, QByteArray("application/json"));
    httpRequest.setRawHeader("X-Nimbara-Locale",
                             NimbaraLocales::rawValue(locale).toString().toUtf8());
    const QByteArray body = encodeNimbaraJson(encodeFeedbackSubmissionRequest(request));

    const HttpResponse response = co_await httpPost(session, httpRequest, body);
    if (!response.statusCode)
        throw FeedbackClientError::invalidResponse();
    const int status = *response.statusCode;
    if (status >= 200 && status <= 299)
        co_return decodeFeedbackSubmissionResponse(response.body);

    std::optional<FeedbackErrorResponse> refusal;
    try {
        refusal = decodeFeedbackErrorResponse(response.body);
    } catch (const DecodingError& error) {
        qCWarning(logServices).noquote()
            << "unreadable feedback refusal with status" << status << ":" << failureReason(error);
        throw FeedbackClientError::invalidStatus(status);
    }
    throw FeedbackClientError::server(refusal->message.value_or(refusal->error));
}

} // namespace nimbara
