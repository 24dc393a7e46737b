#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QIODevice>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <memory>
#include <optional>
#include <utility>

namespace nimbara::devserver {

// The statuses the server answers with.
enum class Status : int {
    Continue = 100,
    Ok = 200,
    Created = 201,
    Accepted = 202,
    NoContent = 204,
    NotModified = 304,
    BadRequest = 400,
    Unauthorized = 401,
    NotFound = 404,
    MethodNotAllowed = 405,
    LengthRequired = 411,
    PayloadTooLarge = 413,
    HeaderFieldsTooLarge = 431,
    InternalServerError = 500,
    VersionNotSupported = 505,
};

// "Not Found" for 404.
QByteArray reasonPhrase(Status status);

// One HTTP answer, written by the server once the route has produced it. The body is either
// `body` or, for files too large to hold, `stream`: an open device of `streamSize` bytes that
// the connection copies to the socket piece by piece as the client takes it.
struct Reply {
    Status status = Status::Ok;
    QList<std::pair<QByteArray, QByteArray>> headers;
    QByteArray body;
    std::shared_ptr<QIODevice> stream;
    qint64 streamSize = 0;

    // Replaces every header named `name` (compared case-insensitively).
    void setHeader(const QByteArray& name, const QByteArray& value);
    QByteArray header(const QByteArray& name) const;
    // The number of bytes of the body, whichever way it is held.
    qint64 bodySize() const { return stream ? streamSize : body.size(); }

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

// Writes one line to the server's log (standard error).
void logLine(const QString& line);

} // namespace nimbara::devserver
