#include "report_store.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

namespace nimbara::devserver {

namespace {

// Write-ahead logging with synchronous=NORMAL syncs the disk at checkpoints rather than on
// every insert, so a burst of reports is stored at the pace it arrives; a committed report
// still survives a crash of the server.
const char* const kSchema[] = {
    "PRAGMA journal_mode=WAL",
    "PRAGMA synchronous=NORMAL",
    "PRAGMA busy_timeout=5000",
    "CREATE TABLE IF NOT EXISTS feedback ("
    " id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " client_request_id TEXT NOT NULL UNIQUE,"
    " type TEXT NOT NULL,"
    " title TEXT NOT NULL,"
    " description TEXT NOT NULL,"
    " app_id TEXT,"
    " diagnostics TEXT NOT NULL,"
    " locale TEXT,"
    " raw_json TEXT NOT NULL,"
    " received_at TEXT NOT NULL)",
    "CREATE TABLE IF NOT EXISTS events ("
    " id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " event_type TEXT NOT NULL,"
    " status TEXT NOT NULL,"
    " app_slug TEXT,"
    " app_version TEXT,"
    " reason TEXT,"
    " raw_json TEXT NOT NULL,"
    " received_at TEXT NOT NULL)",
    "CREATE TABLE IF NOT EXISTS error_events ("
    " id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " project TEXT NOT NULL,"
    " event_id TEXT NOT NULL,"
    " public_key TEXT NOT NULL,"
    " raw_json TEXT NOT NULL,"
    " received_at TEXT NOT NULL)",
};

QString now() {
    return QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
}

QVariant nullable(const std::optional<QString>& value) {
    return value ? QVariant(*value) : QVariant(QMetaType(QMetaType::QString));
}

QJsonValue parsedJson(const QString& text) {
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8());
    return document.isObject() ? QJsonValue(document.object()) : QJsonValue(text);
}

// Sets `key` only for a non-null column.
void putOptional(QJsonObject& object, const char* key, const QVariant& value) {
    if (!value.isNull())
        object.insert(QLatin1StringView(key), value.toString());
}

class Statement {
public:
    Statement(const QString& connection, const char* sql)
        : query_(QSqlDatabase::database(connection, false)) {
        if (!query_.prepare(QString::fromLatin1(sql)))
            fail();
    }
    Statement& bind(const QVariant& value) {
        query_.addBindValue(value);
        return *this;
    }
    QSqlQuery& run() {
        if (!query_.exec())
            fail();
        return query_;
    }

private:
    [[noreturn]] void fail() const { throw StoreError(query_.lastError().text()); }
    QSqlQuery query_;
};

QJsonObject feedbackRow(const QSqlQuery& row) {
    QJsonObject object{
        {QStringLiteral("id"), QString::number(row.value(0).toLongLong())},
        {QStringLiteral("clientRequestId"), row.value(1).toString()},
        {QStringLiteral("type"), row.value(2).toString()},
        {QStringLiteral("title"), row.value(3).toString()},
        {QStringLiteral("description"), row.value(4).toString()},
        {QStringLiteral("diagnostics"), parsedJson(row.value(6).toString())},
        {QStringLiteral("receivedAt"), row.value(8).toString()},
    };
    putOptional(object, "appId", row.value(5));
    putOptional(object, "locale", row.value(7));
    return object;
}

const char* const kFeedbackColumns =
    "SELECT id, client_request_id, type, title, description, app_id, diagnostics, locale,"
    " received_at FROM feedback";

} // namespace

StoreError::StoreError(const QString& message)
    : Error(QStringLiteral("database error: %1").arg(message),
            QStringLiteral("StoreError(%1)").arg(renderedString(message))) {}

ReportStore::ReportStore(const QString& path)
    : connection_(QStringLiteral("devserver-") +
                  QUuid::createUuid().toString(QUuid::WithoutBraces)) {
    QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    database.setDatabaseName(path);
    if (!database.open())
        throw StoreError(QStringLiteral("%1: %2").arg(path, database.lastError().text()));
    for (const char* sql : kSchema) {
        QSqlQuery query(database);
        if (!query.exec(QString::fromLatin1(sql)))
            throw StoreError(query.lastError().text());
    }
}

ReportStore::~ReportStore() {
    QSqlDatabase::database(connection_, false).close();
    QSqlDatabase::removeDatabase(connection_);
}

ReportStore::StoredFeedback ReportStore::addFeedback(const FeedbackReport& report) {
    Statement lookup(connection_, "SELECT id FROM feedback WHERE client_request_id = ?");
    QSqlQuery& existing = lookup.bind(report.clientRequestId).run();
    if (existing.next())
        return {existing.value(0).toLongLong(), false};

    const QByteArray diagnostics = QJsonDocument(report.diagnostics).toJson(QJsonDocument::Compact);
    Statement insert(connection_,
                     "INSERT INTO feedback (client_request_id, type, title, description,"
                     " app_id, diagnostics, locale, raw_json, received_at)"
                     " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
    QSqlQuery& inserted =
        insert.bind(report.clientRequestId)
            .bind(report.type)
            .bind(report.title)
            .bind(report.description)
            .bind(nullable(report.appId))
            .bind(QString::fromUtf8(diagnostics))
            .bind(report.locale.isEmpty() ? nullable(std::nullopt) : QVariant(report.locale))
            .bind(QString::fromUtf8(report.rawJson))
            .bind(now())
            .run();
    return {inserted.lastInsertId().toLongLong(), true};
}

QJsonArray ReportStore::feedbackReports() const {
    Statement select(connection_, (QByteArray(kFeedbackColumns) + " ORDER BY id").constData());
    QSqlQuery& rows = select.run();
    QJsonArray reports;
    while (rows.next())
        reports.append(feedbackRow(rows));
    return reports;
}

std::optional<QJsonObject> ReportStore::feedbackReport(qint64 id) const {
    Statement select(connection_, (QByteArray(kFeedbackColumns) + " WHERE id = ?").constData());
    QSqlQuery& rows = select.bind(id).run();
    if (!rows.next())
        return std::nullopt;
    return feedbackRow(rows);
}

void ReportStore::addEvent(const OperationalEvent& event) {
    Statement(connection_, "INSERT INTO events (event_type, status, app_slug, app_version, reason,"
                           " raw_json, received_at) VALUES (?, ?, ?, ?, ?, ?, ?)")
        .bind(event.eventType)
        .bind(event.status)
        .bind(nullable(event.appSlug))
        .bind(nullable(event.appVersion))
        .bind(nullable(event.reason))
        .bind(QString::fromUtf8(event.rawJson))
        .bind(now())
        .run();
}

QJsonArray ReportStore::events() const {
    Statement select(connection_, "SELECT id, event_type, status, app_slug, app_version, reason,"
                                  " received_at FROM events ORDER BY id");
    QSqlQuery& rows = select.run();
    QJsonArray events;
    while (rows.next()) {
        QJsonObject event{
            {QStringLiteral("id"), QString::number(rows.value(0).toLongLong())},
            {QStringLiteral("eventType"), rows.value(1).toString()},
            {QStringLiteral("status"), rows.value(2).toString()},
            {QStringLiteral("receivedAt"), rows.value(6).toString()},
        };
        putOptional(event, "appSlug", rows.value(3));
        putOptional(event, "appVersion", rows.value(4));
        putOptional(event, "reason", rows.value(5));
        events.append(event);
    }
    return events;
}

void ReportStore::addErrorEvent(const ErrorEvent& event) {
    Statement(connection_, "INSERT INTO error_events (project, event_id, public_key, raw_json,"
                           " received_at) VALUES (?, ?, ?, ?, ?)")
        .bind(event.project)
        .bind(event.eventId)
        .bind(event.publicKey)
        .bind(QString::fromUtf8(event.rawJson))
        .bind(now())
        .run();
}

QJsonArray ReportStore::errorEvents(const QString& project) const {
    Statement select(connection_, "SELECT id, project, event_id, public_key, raw_json, received_at"
                                  " FROM error_events WHERE ? = '' OR project = ? ORDER BY id");
    QSqlQuery& rows = select.bind(project).bind(project).run();
    QJsonArray events;
    while (rows.next()) {
        events.append(QJsonObject{
            {QStringLiteral("id"), QString::number(rows.value(0).toLongLong())},
            {QStringLiteral("project"), rows.value(1).toString()},
            {QStringLiteral("eventId"), rows.value(2).toString()},
            {QStringLiteral("publicKey"), rows.value(3).toString()},
            {QStringLiteral("event"), parsedJson(rows.value(4).toString())},
            {QStringLiteral("receivedAt"), rows.value(5).toString()},
        });
    }
    return events;
}

} // namespace nimbara::devserver
