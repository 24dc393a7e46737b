#pragma once

#include "contracts/feedback_records.h"
#include "core/json_reader.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <optional>

namespace nimbara {

// The feedback server's answer to a submission it refused.
struct FeedbackErrorResponse {
    QString error;
    std::optional<QString> message;

    bool operator==(const FeedbackErrorResponse&) const = default;
};

// The JSON of a feedback exchange. Absent optional values are left out (never written as
// null); decoding is strict (see JsonReader) and throws DecodingError naming the key path.

QJsonObject encodeFeedbackDiagnostics(const FeedbackDiagnostics& diagnostics);
QJsonObject encodeFeedbackSubmissionRequest(const FeedbackSubmissionRequest& request);

FeedbackIssue decodeFeedbackIssue(const JsonReader& reader);
FeedbackSubmissionResponse decodeFeedbackSubmissionResponse(const JsonReader& reader);
FeedbackSubmissionResponse decodeFeedbackSubmissionResponse(const QByteArray& bytes);
FeedbackErrorResponse decodeFeedbackErrorResponse(const QByteArray& bytes);

} // namespace nimbara
