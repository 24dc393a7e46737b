#include "services/feedback_coding.h"

namespace nimbara {

namespace {

void insertIfPresent(QJsonObject& object, const QString& key, const std::optional<QString>& value) {
    if (value)
        object.insert(key, *value);
}

} // namespace

QJsonObject encodeFeedbackDiagnostics(const FeedbackDiagnostics& diagnostics) {
    QJsonObject object{
        {QStringLiteral("macOSVersion"), diagnostics.macOSVersion},
        {QStringLiteral("launcherVersion"), diagnostics.launcherVersion},
        {QStringLiteral("locale"), diagnostics.locale},
        {QStringLiteral("catalogLifecycle"), diagnostics.catalogLifecycle},
        {QStringLiteral("visibleAppCount"), diagnostics.visibleAppCount},
        {QStringLiteral("publishedAppCount"), diagnostics.publishedAppCount},
        {QStringLiteral("comingSoonAppCount"), diagnostics.comingSoonAppCount},
    };
    insertIfPresent(object, QStringLiteral("selectedAppId"), diagnostics.selectedAppId);
    insertIfPresent(object, QStringLiteral("selectedAppName"), diagnostics.selectedAppName);
    insertIfPresent(object, QStringLiteral("selectedAppVersion"), diagnostics.selectedAppVersion);
    return object;
}

QJsonObject encodeFeedbackSubmissionRequest(const FeedbackSubmissionRequest& request) {
    QJsonObject object{
        {QStringLiteral("clientRequestId"), request.clientRequestId},
        {QStringLiteral("type"), QString(feedbackTypeRawValue(request.type))},
        {QStringLiteral("title"), request.title},
        {QStringLiteral("description"), request.description},
        {QStringLiteral("diagnostics"), encodeFeedbackDiagnostics(request.diagnostics)},
    };
    insertIfPresent(object, QStringLiteral("appId"), request.appId);
    return object;
}

FeedbackIssue decodeFeedbackIssue(const JsonReader& reader) {
    return {reader.requiredString(QLatin1StringView("id")),
            reader.optionalString(QLatin1StringView("identifier")),
            reader.optionalUrl(QLatin1StringView("url"))};
}

FeedbackSubmissionResponse decodeFeedbackSubmissionResponse(const JsonReader& reader) {
    return {reader.requiredBool(QLatin1StringView("ok")),
            decodeFeedbackIssue(reader.requiredObjectReader(QLatin1StringView("issue"))),
            reader.optionalString(QLatin1StringView("message"))};
}

FeedbackSubmissionResponse decodeFeedbackSubmissionResponse(const QByteArray& bytes) {
    return decodeFeedbackSubmissionResponse(JsonReader(parseJsonObject(bytes)));
}

FeedbackErrorResponse decodeFeedbackErrorResponse(const QByteArray& bytes) {
    const JsonReader reader(parseJsonObject(bytes));
    return {reader.requiredString(QLatin1StringView("error")),
            reader.optionalString(QLatin1StringView("message"))};
}

} // namespace nimbara
