#include "dev_server.h"

#include "http_connection.h"
#include "request_bodies.h"

#include <QTcpSocket>
#include <exception>

namespace nimbara::devserver {

DevServer::DevServer(QString root, ReportStore& store, std::chrono::milliseconds idleTimeout,
                     QObject* parent)
    : QObject(parent), root_(std::move(root)), catalogs_(root_), reports_(store),
      idleTimeout_(idleTimeout) {
    listener_.setListenBacklogSize(kListenBacklog);
    acceptRetry_.setSingleShot(true);
    acceptRetry_.setInterval(std::chrono::seconds(1));
    connect(&acceptRetry_, &QTimer::timeout, this, &DevServer::resumeAccepting);
    connect(&listener_, &QTcpServer::newConnection, this, &DevServer::acceptConnections);
    connect(&listener_, &QTcpServer::acceptError, this, &DevServer::acceptFailed);
}

quint16 DevServer::start(const QHostAddress& address, quint16 port, const QString& hostName) {
    if (!listener_.listen(address, port))
        return 0;
    const quint16 bound = listener_.serverPort();
    QUrl origin;
    origin.setScheme(QStringLiteral("http"));
    origin.setHost(hostName);
    origin.setPort(bound);
    reports_.setOrigin(origin);
    return bound;
}

void DevServer::acceptConnections() {
    const HttpConnection::Handlers handlers{
        [this](const Request& request) { return admit(request); },
        [this](const Request& request) {
            return answer(request);
        }};
    while (QTcpSocket* socket = listener_.nextPendingConnection()) {
        auto* connection = new HttpConnection(socket, handlers, idleTimeout_, this);
        connect(connection, &HttpConnection::closed, this, &DevServer::resumeAccepting);
    }
}

void DevServer::acceptFailed() {
    // Out of descriptors, most likely: waiting connections stay queued by the system until
    // one of ours closes, instead of being retried in a busy loop.
    listener_.pauseAccepting();
    if (!acceptPaused_)
        logLine(QStringLiteral("cannot accept connections (%1); waiting for one to close")
                    .arg(listener_.errorString()));
    acceptPaused_ = true;
    acceptRetry_.start();
}

void DevServer::resumeAccepting() {
    if (!acceptPaused_)
        return;
    acceptPaused_ = false;
    acceptRetry_.stop();
    listener_.resumeAccepting();
}

std::optional<Reply> DevServer::admit(const Request& request) const {
    const Route route = resolveRoute(request.url);
    if (route.endpoint == Route::Endpoint::None)
        return Reply::notFound();
    if (!route.allows(request.method))
        return Reply::methodNotAllowed(route.allowedMethods());
    if (request.method != "POST") {
        if (request.contentLength.value_or(0) > kMaxReportBytes)
            return Reply::error(Status::PayloadTooLarge,
                                QStringLiteral("this request takes no body"));
        return std::nullopt;
    }
    if (route.endpoint == Route::Endpoint::ErrorStore &&
        !errorStoreKey(request.header("X-Sentry-Auth")))
        return ReportRoutes::unauthorized();
    if (!request.contentLength)
        return Reply::error(Status::LengthRequired,
                            QStringLiteral("a POST needs a Content-Length header"));
    if (*request.contentLength > kMaxReportBytes)
        return Reply::error(Status::PayloadTooLarge,
                            QStringLiteral("the body has %1 bytes; at most %2 are accepted")
                                .arg(*request.contentLength)
                                .arg(kMaxReportBytes));
    return std::nullopt;
}

Reply DevServer::answer(const Request& request) {
    try {
        return route(request);
    } catch (const Error& error) {
        return Reply::error(Status::InternalServerError, error.description());
    } catch (const std::exception& error) {
        return Reply::error(Status::InternalServerError, QString::fromLocal8Bit(error.what()));
    }
}

// Called for admitted requests only: the path is known and the method allowed.
Reply DevServer::route(const Request& request) {
    using Endpoint = Route::Endpoint;
    const Route route = resolveRoute(request.url);
    const bool post = request.method == "POST";
    switch (route.endpoint) {
    case Endpoint::Manifest:
        return catalogs_.serve(request);
    case Endpoint::Events:
        return post ? reports_.postEvent(request) : reports_.listEvents();
    case Endpoint::Feedback:
        return post ? reports_.postFeedback(request) : reports_.listFeedback();
    case Endpoint::ErrorStore:
        return post ? reports_.postErrorEvent(route.name, request)
                    : reports_.listErrorEvents(route.name);
    case Endpoint::FeedbackPage:
        return reports_.showFeedback(route.name);
    case Endpoint::Appcast:
        return serveAppcast(root_, request);
    case Endpoint::Download:
        return serveDownload(root_, route.downloadPath);
    case Endpoint::None:
        break;
    }
    return Reply::notFound();
}

} // namespace nimbara::devserver
