#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>
#include <QUrlQuery>
#include <optional>
#include <utility>

namespace nimbara::devserver {

// One request as the connection has read it: the head first, the body once it has arrived
// (empty until then, and for requests without one).
struct Request {
    QByteArray method;    // as sent: "GET"
    QByteArray target;    // as sent: "/api/feedback?x=1"
    QUrl url;             // the target's path and query, still percent-encoded
    int minorVersion = 1; // HTTP/1.<minorVersion>
    QList<std::pair<QByteArray, QByteArray>> headers;
    std::optional<qint64> contentLength; // no value: the request announced no body length
    QByteArray body;

    // The value of the header `name` (compared case-insensitively); empty when absent.
    QByteArray header(const QByteArray& name) const;
    QUrlQuery query() const { return QUrlQuery(url); }
    bool isHead() const { return method == "HEAD"; }
    // Whether the client wants the connection kept open after the answer.
    bool keepAlive() const;
};

// The request head (request line and header fields, without the blank line that ends it),
// or the reason it is malformed.
struct ParsedHead {
    Request request;
    QString error; // empty: the head is well formed
};
ParsedHead parseRequestHead(const QByteArray& head);

} // namespace nimbara::devserver
