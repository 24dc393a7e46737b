#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <optional>

namespace nimbara::devserver {

// The request bodies the server accepts, checked member by member. Every parse function
// throws DecodingError (its description names the failing member) for a body that is not a
// JSON object of the expected shape.

// A feedback report as the launcher sends it to /api/feedback.
struct FeedbackReport {
    QString clientRequestId;
    QString type; // bug, idea, improvement or other
    QString title;
    QString description;
    std::optional<QString> appId;
    QJsonObject diagnostics;
    QString locale; // the X-Nimbara-Locale header; empty when the request had none
    QByteArray rawJson;
};

// One operational event of an install.
struct OperationalEvent {
    QString eventType;
    QString status;
    std::optional<QString> appSlug;
    std::optional<QString> appVersion;
    std::optional<QString> reason;
    QByteArray rawJson;
};

// One event posted to an error store endpoint.
struct ErrorEvent {
    QString project;
    QString eventId;
    QString publicKey; // sentry_key of the authentication header
    QByteArray rawJson;
};

FeedbackReport parseFeedbackReport(const QByteArray& body);
OperationalEvent parseOperationalEvent(const QByteArray& body);
// Only "event_id" (a non-empty string) is required; the rest of the event is kept as sent.
ErrorEvent parseErrorEvent(const QByteArray& body);

// The public key named by an X-Sentry-Auth header value ("Sentry sentry_version=7,
// sentry_key=..., ..."), or no value when the header does not authenticate: it must start
// with "Sentry ", carry a non-empty sentry_key and sentry_version 7.
std::optional<QString> errorStoreKey(const QByteArray& header);

} // namespace nimbara::devserver
