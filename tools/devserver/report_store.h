#pragma once

#include "core/error.h"
#include "request_bodies.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <optional>

namespace nimbara::devserver {

// A failure of the SQLite database, with the driver's message.
class StoreError : public Error {
public:
    explicit StoreError(const QString& message);
};

// Everything the server receives, kept in one SQLite file so that it survives a restart:
// feedback reports, operational events and error events, each with its raw JSON body and
// the time it arrived. Reports are numbered by an AUTOINCREMENT row id, so a number is
// never handed out twice, not even after a restart.
class ReportStore {
public:
    // Opens (or creates) the database at `path` and its tables. Throws StoreError.
    explicit ReportStore(const QString& path);
    ~ReportStore();
    ReportStore(const ReportStore&) = delete;
    ReportStore& operator=(const ReportStore&) = delete;

    struct StoredFeedback {
        qint64 id = 0;
        bool created = false; // false: a report with the same clientRequestId was stored before
    };

    // Stores `report` unless a report with its clientRequestId exists already; either way
    // answers the row that holds that clientRequestId.
    StoredFeedback addFeedback(const FeedbackReport& report);
    // The stored reports in the order they arrived; each object carries "id" (the row id as
    // a string), the report's members, "locale" when known, and "receivedAt".
    QJsonArray feedbackReports() const;
    std::optional<QJsonObject> feedbackReport(qint64 id) const;

    void addEvent(const OperationalEvent& event);
    QJsonArray events() const;

    void addErrorEvent(const ErrorEvent& event);
    // The error events of one project (or of all projects for an empty name), each with
    // the event as it was sent under "event".
    QJsonArray errorEvents(const QString& project) const;

private:
    QString connection_;
};

} // namespace nimbara::devserver
