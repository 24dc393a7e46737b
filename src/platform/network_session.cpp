#include "platform/network_session.h"

#include "core/error.h"
#include "core/json_coding.h"
#include "core/logging.h"
#include "platform/crypto_library.h"

#include <QAbstractNetworkCache>
#include <QCoreApplication>
#include <QCoro/QCoroNetworkReply>
#include <QNetworkDiskCache>
#include <QNetworkReply>
#include <QPointer>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <utility>

namespace nimbara {

namespace {

// Before any other use of OpenSSL (TLS for the requests below).
[[maybe_unused]] const bool cryptoKeptUntilExit = keepCryptoLibraryUntilExit();

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

struct ReplyDeleter {
    void operator()(QNetworkReply* reply) const { reply->deleteLater(); }
};
using ReplyPointer = std::unique_ptr<QNetworkReply, ReplyDeleter>;

// Why we stopped a transfer ourselves.
enum class StopReason { none, bodyTooLarge, deadline };

// The body of one reply as far as it has arrived, and whether we stopped the transfer.
struct ReplyBody {
    QByteArray bytes;
    StopReason stopped = StopReason::none;
    qint64 limit = maximumResponseBodySize;
};

// Drops whatever the cache holds or is still writing for the reply's URL, so that an answer
// we refused is not served from the cache next time.
void discardFromCache(QNetworkReply* reply) {
    if (QAbstractNetworkCache* cache = reply->manager() ? reply->manager()->cache() : nullptr)
        cache->remove(reply->url());
}

void stopTransfer(QNetworkReply* reply, ReplyBody& body, StopReason reason) {
    if (body.stopped != StopReason::none || reply->isFinished())
        return;
    body.stopped = reason;
    reply->abort();
    discardFromCache(reply);
}

// Moves what has arrived into `body`, never more than one byte past the size limit; at that
// byte the transfer stops.
void readArrivedBytes(QNetworkReply* reply, ReplyBody& body) {
    // Read in place: QIODevice::read(qint64) would first allocate all the room it is given.
    const qsizetype had = body.bytes.size();
    const qint64 wanted = std::min(reply->bytesAvailable(), body.limit + 1 - qint64(had));
    if (wanted > 0) {
        body.bytes.resize(had + qsizetype(wanted));
        const qint64 read = reply->read(body.bytes.data() + had, wanted);
        body.bytes.resize(had + qsizetype(std::max<qint64>(read, 0)));
    }
    if (body.bytes.size() > body.limit)
        stopTransfer(reply, body, StopReason::bodyTooLarge);
}

// Reads the reply's body as it arrives, with the network thread holding at most
// responseReadBufferSize of it; stops the transfer when the announced or received size passes
// the limit, or when `deadline` has passed.
std::shared_ptr<ReplyBody> collectBody(QNetworkReply* reply,
                                       std::optional<std::chrono::milliseconds> deadline,
                                       qint64 limit = maximumResponseBodySize) {
    auto body = std::make_shared<ReplyBody>();
    body->limit = limit;
    reply->setReadBufferSize(responseReadBufferSize);
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [reply, body] {
        const QVariant announced = reply->header(QNetworkRequest::ContentLengthHeader);
        if (announced.isValid() && announced.toLongLong() > body->limit)
            stopTransfer(reply, *body, StopReason::bodyTooLarge);
    });
    QObject::connect(reply, &QIODevice::readyRead, reply,
                     [reply, body] { readArrivedBytes(reply, *body); });
    if (deadline) {
        auto* timer = new QTimer(reply);
        timer->setSingleShot(true);
        QObject::connect(timer, &QTimer::timeout, reply,
                         [reply, body] { stopTransfer(reply, *body, StopReason::deadline); });
        timer->start(*deadline);
    }
    return body;
}

NetworkError bodyTooLarge(qint64 limit) {
    return NetworkError(QStringLiteral("The server's answer is larger than %1 MiB.")
                            .arg(double(limit) / (1024 * 1024)));
}

QString seconds(std::chrono::milliseconds duration) {
    return QString::number(double(duration.count()) / 1000.0);
}

QCoro::Task<HttpResponse> awaitAnswer(ReplyPointer reply, std::shared_ptr<ReplyBody> body,
                                      std::optional<std::chrono::milliseconds> deadline) {
    co_await reply.get();
    readArrivedBytes(reply.get(), *body);
    // Taken out at once: the reply, and with it what it is connected to, is deleted later.
    QByteArray bytes = std::exchange(body->bytes, {});

    if (body->stopped == StopReason::bodyTooLarge)
        throw bodyTooLarge(body->limit);
    if (body->stopped == StopReason::deadline)
        throw NetworkError(
            QStringLiteral("The server's answer did not end within %1 s.").arg(seconds(*deadline)));
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (reply->error() != QNetworkReply::NoError && !failedOnlyWithHttpStatus(*reply))
        throw transferFailure(*reply);
    if (bytes.size() > body->limit) {
        // The whole answer was in before we could stop it, so the cache may hold it.
        discardFromCache(reply.get());
        throw bodyTooLarge(body->limit);
    }
    HttpResponse response;
    if (status.isValid())
        response.statusCode = status.toInt();
    response.body = std::move(bytes);
    co_return response;
}

} // namespace

NetworkError transferFailure(const QNetworkReply& reply) {
    // Besides our own stops (size limit, deadline, a caller's cancel), which report their own
    // errors, only the transfer time-out aborts our replies; Qt's own text for it ("Operation
    // canceled") does not say why, so the reason is added.
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

QCoro::Task<HttpResponse> httpGet(QNetworkAccessManager& session, QNetworkRequest request,
                                  std::optional<std::chrono::milliseconds> deadline,
                                  qint64 bodyLimit) {
    ReplyPointer reply(session.get(request));
    std::shared_ptr<ReplyBody> body =
        collectBody(reply.get(), deadline, std::min(bodyLimit, maximumResponseBodySize));
    return awaitAnswer(std::move(reply), std::move(body), deadline);
}

QCoro::Task<HttpResponse> httpPost(QNetworkAccessManager& session, QNetworkRequest request,
                                   QByteArray body) {
    ReplyPointer reply(session.post(request, body));
    std::shared_ptr<ReplyBody> answer = collectBody(reply.get(), std::nullopt);
    return awaitAnswer(std::move(reply), std::move(answer), std::nullopt);
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

bool isLocalHTTP(const QUrl& url) {
    if (url.scheme() != QLatin1String("http"))
        return false;
    const QString host = url.host(); // QUrl gives host names in lower case
    return host == QLatin1String("localhost") || host == QLatin1String("127.0.0.1") ||
           host == QLatin1String("::1");
}

} // namespace nimbara
