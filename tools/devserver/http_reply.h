#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHttpServerResponder>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <optional>
#include <utility>

class QHttpServerRequest;

namespace nimbara::devserver {

using Status = QHttpServerResponder::StatusCode;

// One HTTP answer, written by the server once the route has produced it.
struct Reply {
    Status status = Status::Ok;
    QList<std::pair<QByteArray, QByteArray>> headers;
    QByteArray body;

    // Replaces every header named `name` (compared case-insensitively).
    void setHeader(const QByteArray& name, const QByteArray& value);
    QByteArray header(const QByteArray& name) const;

    static Reply bytes(Status status, const QByteArray& contentType, QByteArray body);
    static Reply json(Status status, const QJsonObject& object);
    // {"error": message}
    static Reply error(Status status, const QString& message);
    static Reply notFound();
    // 405 naming the methods the path does accept.
    static Reply methodNotAllowed(const QByteArray& allowed);
};

// Dates as HTTP headers carry them: "Sun, 06 Nov 1994 08:49:37 GMT".
QByteArray httpDate(const QDateTime& time);
std::optional<QDateTime> parseHttpDate(const QByteArray& text);

// The value of the request's header `name` (compared case-insensitively); empty when absent.
QByteArray requestHeader(const QHttpServerRequest& request, const QByteArray& name);

// Writes one line to the server's log (standard error).
void logLine(const QString& line);

} // namespace nimbara::devserver
