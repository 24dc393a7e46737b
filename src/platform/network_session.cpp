#include "platform/network_session.h"

#include "core/error.h"
#include "core/json_coding.h"
#include "core/logging.h"

#include <QCoreApplication>
#include <QCoro/QCoroNetworkReply>
#include <QNetworkDiskCache>
#include <QNetworkReply>
#include <QPointer>
#include <QStandardPaths>
#include <QThread>
#include <memory>

namespace nimbara {

namespace {

// Qt reports an HTTP status of 400 or more as one of these reply errors, together with the
// status attribute and the whole body. Such a reply is an answer, not a transport failure.
// Every other error (a refused or closed connection, a time-out, a body cut short after the
// headers, a refused redirect) is one, even when a status line had already arrived.
bool reportsHttpStatus(QNetworkReply::NetworkError error) {
    switch (error) {
    case QNetworkReply::ContentAccessDenied:
    case QNetworkReply::ContentOperationNotPermittedError:
    case QNetworkReply::ContentNotFoundError:
    case QNetworkReply::AuthenticationRequiredError:
    case QNetworkReply::ContentConflictError:
    case QNetworkReply::ContentGoneError:
    case QNetworkReply::UnknownContentError:
    case QNetworkReply::ProtocolInvalidOperationError:
    case QNetworkReply::InternalServerError:
    case QNetworkReply::OperationNotImplementedError:
    case QNetworkReply::ServiceUnavailableError:
    case QNetworkReply::UnknownServerError:
        return true;
    default:
        return false;
    }
}

// Set on a reply that was stopped because its body grew beyond maximumResponseBodySize.
constexpr char bodyTooLargeProperty[] = "nimbaraBodyTooLarge";

struct ReplyDeleter {
    void operator()(QNetworkReply* reply) const { reply->deleteLater(); }
};
using ReplyPointer = std::unique_ptr<QNetworkReply, ReplyDeleter>;

// Stops the transfer as soon as the announced or received size passes the limit.
void limitBodySize(QNetworkReply* reply) {
    QObject::connect(
        reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64 total) {
            if (received <= maximumResponseBodySize && total <= maximumResponseBodySize)
                return;
            if (reply->property(bodyTooLargeProperty).toBool())
                return;
            reply->setProperty(bodyTooLargeProperty, true);
            reply->abort();
        });
}

NetworkError bodyTooLarge() {
    return NetworkError(QStringLiteral("The server's answer is larger than %1 MiB.")
                            .arg(maximumResponseBodySize / (1024 * 1024)));
}

QCoro::Task<HttpResponse> awaitAnswer(ReplyPointer reply) {
    co_await reply.get();

    if (reply->property(bodyTooLargeProperty).toBool())
        throw bodyTooLarge();
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (reply->error() != QNetworkReply::NoError && !failedOnlyWithHttpStatus(*reply))
        throw transferFailure(*reply);
    HttpResponse response;
    if (status.isValid())
        response.statusCode = status.toInt();
    response.body = reply->readAll();
    if (response.body.size() > maximumResponseBodySize)
        throw bodyTooLarge();
    co_return response;
}

} // namespace

NetworkError transferFailure(const QNetworkReply& reply) {
    // Nobody but the transfer time-out (or a caller's cancel, which reports its own error)
    // aborts our replies; Qt's own text for it ("Operation canceled") does not say why, so the
    // reason is added.
    if (reply.error() == QNetworkReply::OperationCanceledError) {
        const int timeout = reply.request().transferTimeout();
        return NetworkError(QStringLiteral("%1 (no data from the server for %2 s)")
                                .arg(reply.errorString(), QString::number(timeout / 1000.0)));
    }
    return NetworkError(reply.errorString());
}

bool failedOnlyWithHttpStatus(const QNetworkReply& reply) {
    return reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid() &&
           reportsHttpStatus(reply.error());
}

QNetworkAccessManager& sharedNetworkAccessManager() {
    static QPointer<QNetworkAccessManager> shared;
    if (!shared) {
        QCoreApplication* application = QCoreApplication::instance();
        if (!application || QThread::currentThread() != application->thread())
            qFatal("The shared network manager is made on the main thread of a running "
                   "application.");
        shared = new QNetworkAccessManager(application);
        configureNetworkAccessManager(*shared, httpCacheDirectory());
    }
    return *shared;
}

void configureNetworkAccessManager(QNetworkAccessManager& manager, const QString& cacheDirectory) {
    manager.setTransferTimeout(int(networkTransferTimeout.count()));
    // An https page may lead to https only; http may lead anywhere.
    manager.setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
    auto* cache = new QNetworkDiskCache(&manager);
    cache->setCacheDirectory(cacheDirectory);
    manager.setCache(cache);
    // TLS peers are checked against the system's CA store, Qt's default configuration.
}

QString httpCacheDirectory() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
           QStringLiteral("/nimbara/http");
}

QNetworkRequest makeNetworkRequest(const QUrl& url, std::chrono::milliseconds timeout) {
    QNetworkRequest request(url);
    request.setTransferTimeout(int(timeout.count()));
    return request;
}

QCoro::Task<HttpResponse> httpGet(QNetworkAccessManager& session, QNetworkRequest request) {
    ReplyPointer reply(session.get(request));
    limitBodySize(reply.get());
    return awaitAnswer(std::move(reply));
}

QCoro::Task<HttpResponse> httpPost(QNetworkAccessManager& session, QNetworkRequest request,
                                   QByteArray body) {
    ReplyPointer reply(session.post(request, body));
    limitBodySize(reply.get());
    return awaitAnswer(std::move(reply));
}

void postWithoutWaiting(QNetworkAccessManager& session, const QNetworkRequest& request,
                        const QByteArray& body) {
    QNetworkReply* reply = session.post(request, body);
    QObject::connect(reply, &QIODevice::readyRead, reply,
                     [reply] { reply->skip(reply->bytesAvailable()); });
    QObject::connect(reply, &QNetworkReply::finished, reply, [reply] {
        if (reply->error() != QNetworkReply::NoError) {
            qCWarning(logPlatform).noquote()
                << "posting to" << reply->url().toString() << "failed:" << reply->errorString();
        }
        reply->deleteLater();
    });
}

QUrl serviceURL(const QUrl& baseURL, QStringView path) {
    const QString basePath = baseURL.path(QUrl::FullyEncoded);
    QStringList parts;
    for (QStringView part : {QStringView(basePath), path}) {
        while (part.startsWith(u'/'))
            part = part.mid(1);
        while (part.endsWith(u'/'))
            part.chop(1);
        if (!part.isEmpty())
            parts.append(part.toString());
    }
    QUrl url = baseURL;
    url.setPath(QLatin1Char('/') + parts.join(QLatin1Char('/')), QUrl::TolerantMode);
    return url;
}

std::optional<QUrl> configuredURL(const char* environmentVariable, const MainBundle* bundle,
                                  const QString& infoKey) {
    if (qEnvironmentVariableIsSet(environmentVariable)) {
        if (std::optional<QUrl> url = parseAbsoluteUrl(qEnvironmentVariable(environmentVariable)))
            return url;
    }
    if (bundle) {
        const std::optional<QVariant> value = bundle->infoValue(infoKey);
        if (value && value->typeId() == QMetaType::QString) {
            if (std::optional<QUrl> url = parseAbsoluteUrl(value->toString()))
                return url;
        }
    }
    return std::nullopt;
}

} // namespace nimbara
