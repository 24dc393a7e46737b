#include "request_bodies.h"

#include "core/json_reader.h"

#include <QList>

namespace nimbara::devserver {

namespace {

constexpr QLatin1StringView kFeedbackTypes[] = {QLatin1StringView("bug"), QLatin1StringView("idea"),
                                                QLatin1StringView("improvement"),
                                                QLatin1StringView("other")};

QString nonEmptyString(const JsonReader& reader, QLatin1StringView key) {
    QString value = reader.requiredString(key);
    if (value.trimmed().isEmpty())
        reader.fail(key, QStringLiteral("must not be empty"));
    return value;
}

QString feedbackType(const JsonReader& reader) {
    const QLatin1StringView key("type");
    QString value = reader.requiredString(key);
    for (const QLatin1StringView allowed : kFeedbackTypes) {
        if (value == allowed)
            return value;
    }
    reader.fail(
        key,
        QStringLiteral("must be one of bug, idea, improvement, other (found \"%1\")").arg(value));
}

} // namespace

FeedbackReport parseFeedbackReport(const QByteArray& body) {
    const JsonReader reader(parseJsonObject(body));
    FeedbackReport report;
    report.clientRequestId = nonEmptyString(reader, QLatin1StringView("clientRequestId"));
    report.type = feedbackType(reader);
    report.title = nonEmptyString(reader, QLatin1StringView("title"));
    report.description = reader.requiredString(QLatin1StringView("description"));
    report.appId = reader.optionalString(QLatin1StringView("appId"));
    report.diagnostics = reader.requiredObject(QLatin1StringView("diagnostics"));
    report.rawJson = body;
    return report;
}

OperationalEvent parseOperationalEvent(const QByteArray& body) {
    const JsonReader reader(parseJsonObject(body));
    OperationalEvent event;
    event.eventType = nonEmptyString(reader, QLatin1StringView("eventType"));
    event.appSlug = reader.optionalString(QLatin1StringView("appSlug"));
    event.appVersion = reader.optionalString(QLatin1StringView("appVersion"));
    event.status = nonEmptyString(reader, QLatin1StringView("status"));
    event.reason = reader.optionalString(QLatin1StringView("reason"));
    event.rawJson = body;
    return event;
}

ErrorEvent parseErrorEvent(const QByteArray& body) {
    const JsonReader reader(parseJsonObject(body));
    ErrorEvent event;
    event.eventId = nonEmptyString(reader, QLatin1StringView("event_id"));
    event.rawJson = body;
    return event;
}

std::optional<QString> errorStoreKey(const QByteArray& header) {
    const QByteArray scheme("Sentry ");
    if (!header.startsWith(scheme))
        return std::nullopt;
    QByteArray key;
    bool version7 = false;
    const QList<QByteArray> parameters = header.mid(scheme.size()).split(',');
    for (const QByteArray& parameter : parameters) {
        const qsizetype equals = parameter.indexOf('=');
        if (equals < 0)
            continue;
        const QByteArray name = parameter.left(equals).trimmed();
        const QByteArray value = parameter.mid(equals + 1).trimmed();
        if (name == "sentry_key")
            key = value;
        else if (name == "sentry_version")
            version7 = value == "7";
    }
    if (key.isEmpty() || !version7)
        return std::nullopt;
    return QString::fromUtf8(key);
}

} // namespace nimbara::devserver
