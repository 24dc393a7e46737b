#pragma once

#include "http_reply.h"
#include "http_request.h"
#include "report_store.h"

#include <QString>
#include <QUrl>

namespace nimbara::devserver {

// The endpoints that receive reports and list what was received: feedback, operational
// events and the error store. A StoreError of the database is left to the caller.
class ReportRoutes {
public:
    explicit ReportRoutes(ReportStore& store) : store_(store) {}

    // Where the server can be reached ("http://127.0.0.1:3000"); issue URLs start with it.
    void setOrigin(const QUrl& origin) { origin_ = origin; }

    // POST /api/feedback: 201 with the new issue, 200 with the same issue for a
    // clientRequestId seen before, 400 naming the faulty member.
    Reply postFeedback(const Request& request);
    // GET /api/feedback: {"reports": [...]}
    Reply listFeedback() const;
    // GET /feedback/FB-<n>: one stored report.
    Reply showFeedback(const QString& identifier) const;

    // POST /api/launcher/events: 202, or 400 naming the faulty member.
    Reply postEvent(const Request& request);
    // GET /api/launcher/events: {"events": [...]}
    Reply listEvents() const;

    // POST /api/<project>/store/: 401 without a valid X-Sentry-Auth header, 400 without an
    // event_id, else 200 {"id": event_id}.
    Reply postErrorEvent(const QString& project, const Request& request);
    // GET /api/<project>/store/: {"events": [...]}
    Reply listErrorEvents(const QString& project) const;
    // 401 for an error event without a valid X-Sentry-Auth header.
    static Reply unauthorized();

private:
    QJsonObject issue(qint64 id) const;

    ReportStore& store_;
    QUrl origin_;
};

} // namespace nimbara::devserver
