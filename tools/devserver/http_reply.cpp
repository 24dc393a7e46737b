#include "http_reply.h"

#include <QHttpServerRequest>
#include <QJsonDocument>
#include <QLocale>
#include <QTimeZone>
#include <cstdio>

namespace nimbara::devserver {

namespace {
const QString kHttpDateFormat = QStringLiteral("ddd, dd MMM yyyy hh:mm:ss 'GMT'");
} // namespace

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
    Reply reply{status, {}, std::move(body)};
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

QByteArray requestHeader(const QHttpServerRequest& request, const QByteArray& name) {
    for (const auto& [key, value] : request.headers()) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

void logLine(const QString& line) {
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
}

} // namespace nimbara::devserver
