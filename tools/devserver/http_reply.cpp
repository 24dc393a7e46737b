#include "http_reply.h"

#include <QJsonDocument>
#include <QLocale>
#include <QTimeZone>
#include <cstdio>

namespace nimbara::devserver {

namespace {
const QString kHttpDateFormat = QStringLiteral("ddd, dd MMM yyyy hh:mm:ss 'GMT'");
} // namespace

QByteArray reasonPhrase(Status status) {
    switch (status) {
    case Status::Continue:
        return "Continue";
    case Status::Ok:
        return "OK";
    case Status::Created:
        return "Created";
    case Status::Accepted:
        return "Accepted";
    case Status::NoContent:
        return "No Content";
    case Status::NotModified:
        return "Not Modified";
    case Status::BadRequest:
        return "Bad Request";
    case Status::Unauthorized:
        return "Unauthorized";
    case Status::NotFound:
        return "Not Found";
    case Status::MethodNotAllowed:
        return "Method Not Allowed";
    case Status::LengthRequired:
        return "Length Required";
    case Status::PayloadTooLarge:
        return "Content Too Large";
    case Status::HeaderFieldsTooLarge:
        return "Request Header Fields Too Large";
    case Status::InternalServerError:
        return "Internal Server Error";
    case Status::VersionNotSupported:
        return "HTTP Version Not Supported";
    }
    return "Unknown";
}

void Reply::setHeader(const QByteArray& name, const QByteArray& value) {
    headers.removeIf(
        [&](const auto& header) { return header.first.compare(name, Qt::CaseInsensitive) == 0; });
    headers.append({name, value});
}

QByteArray Reply::header(const QByteArray& name) const {
    for (const auto& [key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

Reply Reply::bytes(Status status, const QByteArray& contentType, QByteArray body) {
    Reply reply;
    reply.status = status;
    reply.body = std::move(body);
    reply.setHeader("Content-Type", contentType);
    return reply;
}

Reply Reply::json(Status status, const QJsonObject& object) {
    return bytes(status, "application/json", QJsonDocument(object).toJson(QJsonDocument::Indented));
}

Reply Reply::error(Status status, const QString& message) {
    return json(status, QJsonObject{{QStringLiteral("error"), message}});
}

Reply Reply::notFound() {
    return error(Status::NotFound, QStringLiteral("not found"));
}

Reply Reply::methodNotAllowed(const QByteArray& allowed) {
    Reply reply =
        error(Status::MethodNotAllowed,
              QStringLiteral("method not allowed; use %1").arg(QString::fromLatin1(allowed)));
    reply.setHeader("Allow", allowed);
    return reply;
}

QByteArray httpDate(const QDateTime& time) {
    return QLocale::c().toString(time.toUTC(), kHttpDateFormat).toLatin1();
}

std::optional<QDateTime> parseHttpDate(const QByteArray& text) {
    const QDateTime parsed =
        QLocale::c().toDateTime(QString::fromLatin1(text.trimmed()), kHttpDateFormat);
    if (!parsed.isValid())
        return std::nullopt;
    return QDateTime(parsed.date(), parsed.time(), QTimeZone::utc());
}

void logLine(const QString& line) {
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
}

} // namespace nimbara::devserver
