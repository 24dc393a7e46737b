#include "contracts/feedback_client_error.h"

namespace nimbara {

FeedbackClientError FeedbackClientError::invalidStatus(int statusCode) {
    return {Case::invalidStatus,
            QStringLiteral("The feedback server returned HTTP %1.").arg(statusCode),
            QStringLiteral("FeedbackClientError.invalidStatus(%1)").arg(statusCode)};
}

FeedbackClientError FeedbackClientError::server(const QString& message) {
    return {Case::server, message,
            QStringLiteral("FeedbackClientError.server(%1)").arg(renderedString(message))};
}

FeedbackClientError FeedbackClientError::invalidResponse() {
    return {Case::invalidResponse, QStringLiteral("The feedback server response was invalid."),
            QStringLiteral("FeedbackClientError.invalidResponse")};
}

} // namespace nimbara
