#include "http_request.h"

namespace nimbara::devserver {

namespace {

bool isToken(const QByteArray& text) {
    if (text.isEmpty())
        return false;
    for (const char c : text) {
        const bool plain =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!plain && !QByteArray("!#$%&'*+-.^_`|~").contains(c))
            return false;
    }
    return true;
}

// A decimal length without sign or spaces, small enough to hold.
std::optional<qint64> parseLength(const QByteArray& text) {
    if (text.isEmpty() || text.size() > 18)
        return std::nullopt;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
    }
    return text.toLongLong();
}

ParsedHead malformed(const QString& reason) {
    return {Request{}, reason};
}

} // namespace

QByteArray Request::header(const QByteArray& name) const {
    for (const auto& [key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

bool Request::keepAlive() const {
    const QByteArray connection = header("Connection").toLower();
    if (minorVersion == 0)
        return connection.contains("keep-alive");
    return !connection.contains("close");
}

ParsedHead parseRequestHead(const QByteArray& head) {
    QList<QByteArray> lines = head.split('\n');
    for (QByteArray& line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    const QList<QByteArray> requestLine = lines.takeFirst().split(' ');
    if (requestLine.size() != 3 || !isToken(requestLine.at(0)) ||
        !requestLine.at(1).startsWith('/'))
        return malformed(QStringLiteral("malformed request line"));
    Request request;
    request.method = requestLine.at(0);
    request.target = requestLine.at(1);
    request.url = QUrl::fromEncoded(request.target, QUrl::StrictMode);
    if (!request.url.isValid())
        return malformed(QStringLiteral("malformed request target"));
    const QByteArray& version = requestLine.at(2);
    if (version == "HTTP/1.0")
        request.minorVersion = 0;
    else if (version != "HTTP/1.1")
        return malformed(QStringLiteral("unsupported HTTP version"));

    for (const QByteArray& line : lines) {
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0 || !isToken(line.left(colon)))
            return malformed(QStringLiteral("malformed header field"));
        request.headers.append({line.left(colon), line.mid(colon + 1).trimmed()});
    }
    for (const auto& [name, value] : request.headers) {
        if (name.compare("Content-Length", Qt::CaseInsensitive) != 0)
            continue;
        const std::optional<qint64> length = parseLength(value);
        if (!length || (request.contentLength && *request.contentLength != *length))
            return malformed(QStringLiteral("invalid Content-Length"));
        request.contentLength = length;
    }
    return {request, {}};
}

} // namespace nimbara::devserver
