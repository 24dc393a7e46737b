#pragma once

#include "core/error.h"
#include "platform/main_bundle.h"

#include <QByteArray>
#include <QCoro/QCoroTask>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QString>
#include <QStringView>
#include <QUrl>
#include <chrono>
#include <optional>

namespace nimbara {

// Every request of the launcher gives up when no byte has moved for this long.
inline constexpr std::chrono::milliseconds networkTransferTimeout{60'000};

// The largest response body a client reads into memory. Catalogs, feedback answers and error
// bodies are a few kilobytes; an answer of this size is not one we can use, and reading it
// would only cost memory. (Archive downloads stream to a file and are not bound by this.)
// The bytes are counted as they arrive: an answer announcing more is refused at its headers,
// one sending more is stopped at the first byte past the limit, and neither is left in the
// HTTP cache.
inline constexpr qint64 maximumResponseBodySize = 16 * 1024 * 1024;

// How much of an answer the network thread holds before it waits for us to read, so that a
// fast server cannot fill memory faster than the body is counted.
inline constexpr qint64 responseReadBufferSize = 256 * 1024;

// The process's one network manager, made on first use: transfer time-out 60 s, redirects
// only to equally or more secure places, ordinary HTTP caching in httpCacheDirectory(), TLS
// checked against the system's CA store. It lives on the main thread and dies with the
// application object, so the first call must come from the main thread after
// QCoreApplication exists.
QNetworkAccessManager& sharedNetworkAccessManager();

// Gives `manager` the settings of the shared one, with its disk cache in `cacheDirectory`.
void configureNetworkAccessManager(QNetworkAccessManager& manager, const QString& cacheDirectory);

// $XDG_CACHE_HOME/nimbara/http (~/.cache/nimbara/http when the variable is unset).
QString httpCacheDirectory();

// What came back from one exchange with a server.
struct HttpResponse {
    // None when the answer was not an HTTP response (for example a file: URL).
    std::optional<int> statusCode;
    QByteArray body;
};

// A request for `url` with the protocol's default cache policy that gives up after `timeout`
// without progress.
QNetworkRequest makeNetworkRequest(const QUrl& url,
                                   std::chrono::milliseconds timeout = networkTransferTimeout);

// Sends the request and waits for the whole answer without blocking the thread. An HTTP
// error status (4xx, 5xx) is an answer like any other, returned with its body. A transport
// failure (refused, time-out, host not found, TLS, a redirect the policy refuses, a body cut
// short), a body above maximumResponseBodySize (or `bodyLimit`) or, for a GET given a `deadline`,
// an answer not complete that long after the request was sent throws NetworkError. The deadline
// bounds a server that keeps sending a byte now and then, which the transfer time-out never stops.
// `bodyLimit` lowers the size limit for a GET whose answers are known to be small.
QCoro::Task<HttpResponse> httpGet(QNetworkAccessManager& session, QNetworkRequest request,
                                  std::optional<std::chrono::milliseconds> deadline = {},
                                  qint64 bodyLimit = maximumResponseBodySize);
QCoro::Task<HttpResponse> httpPost(QNetworkAccessManager& session, QNetworkRequest request,
                                   QByteArray body);

// The NetworkError for a reply that ended in a transport failure (Qt's own message; a
// time-out says so). Not for a reply whose only fault is an HTTP error status.
NetworkError transferFailure(const QNetworkReply& reply);

// Whether `reply` failed only because the server answered with an HTTP error status: Qt
// reports a status of 400 or more as a reply error, together with the status and the body.
bool failedOnlyWithHttpStatus(const QNetworkReply& reply);

// Posts `body` and lets the exchange finish on its own: the answer is read and thrown away,
// a failure is only logged, and the reply cleans up after itself.
void postWithoutWaiting(QNetworkAccessManager& session, const QNetworkRequest& request,
                        const QByteArray& body);

// An endpoint below a service base URL: the base's path and `path`, each stripped of leading
// and trailing slashes, joined with "/" after a leading "/"; scheme, host, port and query of
// the base are kept. ("http://h/svc/", "/api/feedback") gives "http://h/svc/api/feedback".
QUrl serviceURL(const QUrl& baseURL, QStringView path);

// Whether `url` is plain HTTP to this machine under one of its three loopback names:
// scheme "http" and the host "localhost" (any letter case), "127.0.0.1" or "::1". No other
// address of the loopback range counts.
bool isLocalHTTP(const QUrl& url);

// A URL the launcher is configured with, first match wins: the environment variable
// `environmentVariable` when it is set and holds an absolute URL (the value is not trimmed);
// else the launcher's Info.plist value `infoKey` when it is a non-empty string holding an
// absolute URL; else none. `bundle` may be null (no Info.plist).
std::optional<QUrl> configuredURL(const char* environmentVariable, const MainBundle* bundle,
                                  const QString& infoKey);

} // namespace nimbara
