#include "services/launcher_error_reporter.h"

#include "core/error.h"
#include "core/json_coding.h"
#include "core/logging.h"
#include "platform/main_bundle.h"
#include "platform/network_session.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUuid>

namespace nimbara {

namespace {

// "native" is the store protocol's platform value for compiled code such as this launcher.
const QString eventPlatform = QStringLiteral("native");
const QString clientName = QStringLiteral("nimbara-launcher");
const QString clientVersion = builtLauncherVersion();

QJsonObject makeEvent(const std::exception& error, const ErrorReportContext& context) {
    QJsonObject extra;
    for (auto entry = context.cbegin(); entry != context.cend(); ++entry)
        extra.insert(entry.key(), entry.value());
    return {
        {QStringLiteral("event_id"), QUuid::createUuid().toString(QUuid::Id128).toUpper()},
        {QStringLiteral("timestamp"), formatIso8601(QDateTime::currentDateTimeUtc())},
        {QStringLiteral("platform"), eventPlatform},
        {QStringLiteral("logger"), clientName},
        {QStringLiteral("level"), QStringLiteral("error")},
        {QStringLiteral("message"), errorDescription(error)},
        {QStringLiteral("extra"), extra},
    };
}

} // namespace

LauncherErrorReporter::LauncherErrorReporter(QNetworkAccessManager& session) : session_(&session) {}

std::optional<SentryStoreEndpoint> LauncherErrorReporter::sentryStoreEndpoint(const QUrl& dsn) {
    const QString publicKey = dsn.userName(QUrl::FullyDecoded);
    const QStringList components =
        dsn.path(QUrl::FullyDecoded).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (publicKey.isEmpty() || components.isEmpty())
        return std::nullopt;

    QUrl endpoint;
    endpoint.setScheme(dsn.scheme());
    endpoint.setHost(dsn.host());
    endpoint.setPort(dsn.port());
    endpoint.setPath(QStringLiteral("/api/%1/store/").arg(components.last()), QUrl::DecodedMode);
    if (!endpoint.isValid() || endpoint.scheme().isEmpty() || endpoint.host().isEmpty())
        return std::nullopt;
    return SentryStoreEndpoint{endpoint, publicKey};
}

void LauncherErrorReporter::report(const std::exception& error, const ErrorReportContext& context) {
    try {
        const std::optional<QUrl> dsn =
            parseAbsoluteUrl(qEnvironmentVariable("NIMBARA_LAUNCHER_SENTRY_DSN"));
        if (!dsn)
            return;
        const std::optional<SentryStoreEndpoint> store = sentryStoreEndpoint(*dsn);
        if (!store)
            return;

        QNetworkRequest request = makeNetworkRequest(store->endpoint);
        request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArray("application/json"));
        request.setRawHeader("X-Sentry-Auth",
                             QStringLiteral("Sentry sentry_version=7, sentry_client=%1/%2, "
                                            "sentry_key=%3")
                                 .arg(clientName, clientVersion, store->publicKey)
                                 .toUtf8());
        const QByteArray body =
            QJsonDocument(makeEvent(error, context)).toJson(QJsonDocument::Compact);
        postWithoutWaiting(*session_, request, body);
    } catch (...) {
        // Reporting must never disturb the flow that failed; a report that cannot be made
        // is dropped.
        qCWarning(logServices).noquote()
            << "cannot send an error report:" << currentFailureReason();
    }
}

} // namespace nimbara
