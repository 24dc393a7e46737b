#include "report_routes.h"

#include "core/decoding_error.h"

namespace nimbara::devserver {

namespace {

const QString kIssuePrefix = QStringLiteral("FB-");

Reply badRequest(const DecodingError& error) {
    // A fault at the top level is about the body as a whole.
    return Reply::error(Status::BadRequest,
                        error.keyPath().isEmpty()
                            ? QStringLiteral("request body: ") + error.description()
                            : error.description());
}

} // namespace

Reply ReportRoutes::unauthorized() {
    return Reply::error(Status::Unauthorized,
                        QStringLiteral("X-Sentry-Auth must be \"Sentry sentry_version=7, "
                                       "sentry_key=<public key>, ...\""));
}

QJsonObject ReportRoutes::issue(qint64 id) const {
    const QString identifier = kIssuePrefix + QString::number(id);
    QUrl url = origin_;
    url.setPath(QStringLiteral("/feedback/") + identifier);
    return {{QStringLiteral("id"), QString::number(id)},
            {QStringLiteral("identifier"), identifier},
            {QStringLiteral("url"), url.toString()}};
}

Reply ReportRoutes::postFeedback(const Request& request) {
    FeedbackReport report;
    try {
        report = parseFeedbackReport(request.body);
    } catch (const DecodingError& error) {
        return badRequest(error);
    }
    report.locale = QString::fromUtf8(request.header("X-Nimbara-Locale"));
    const ReportStore::StoredFeedback stored = store_.addFeedback(report);
    QJsonObject body{{QStringLiteral("ok"), true}, {QStringLiteral("issue"), issue(stored.id)}};
    if (!stored.created)
        body.insert(QStringLiteral("message"), QStringLiteral("This report was received before."));
    return Reply::json(stored.created ? Status::Created : Status::Ok, body);
}

Reply ReportRoutes::listFeedback() const {
    QJsonArray reports;
    for (const QJsonValue& value : store_.feedbackReports()) {
        QJsonObject report = value.toObject();
        const QJsonObject reference =
            issue(report.value(QStringLiteral("id")).toString().toLongLong());
        report.insert(QStringLiteral("identifier"), reference.value(QStringLiteral("identifier")));
        report.insert(QStringLiteral("url"), reference.value(QStringLiteral("url")));
        reports.append(report);
    }
    return Reply::json(Status::Ok, {{QStringLiteral("reports"), reports}});
}

Reply ReportRoutes::showFeedback(const QString& identifier) const {
    bool numeric = false;
    const qint64 id = identifier.startsWith(kIssuePrefix)
                          ? identifier.mid(kIssuePrefix.size()).toLongLong(&numeric)
                          : 0;
    const std::optional<QJsonObject> report = numeric ? store_.feedbackReport(id) : std::nullopt;
    if (!report)
        return Reply::error(Status::NotFound, QStringLiteral("no feedback %1").arg(identifier));
    QJsonObject body = *report;
    body.insert(QStringLiteral("issue"), issue(id));
    return Reply::json(Status::Ok, body);
}

Reply ReportRoutes::postEvent(const Request& request) {
    try {
        store_.addEvent(parseOperationalEvent(request.body));
    } catch (const DecodingError& error) {
        return badRequest(error);
    }
    return Reply::json(Status::Accepted, {{QStringLiteral("ok"), true}});
}

Reply ReportRoutes::listEvents() const {
    return Reply::json(Status::Ok, {{QStringLiteral("events"), store_.events()}});
}

Reply ReportRoutes::postErrorEvent(const QString& project, const Request& request) {
    const std::optional<QString> key = errorStoreKey(request.header("X-Sentry-Auth"));
    if (!key)
        return unauthorized();
    ErrorEvent event;
    try {
        event = parseErrorEvent(request.body);
    } catch (const DecodingError& error) {
        return badRequest(error);
    }
    event.project = project;
    event.publicKey = *key;
    store_.addErrorEvent(event);
    return Reply::json(Status::Ok, {{QStringLiteral("id"), event.eventId}});
}

Reply ReportRoutes::listErrorEvents(const QString& project) const {
    return Reply::json(Status::Ok, {{QStringLiteral("events"), store_.errorEvents(project)}});
}

} // namespace nimbara::devserver
