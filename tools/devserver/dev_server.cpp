#include "dev_server.h"

#include "http_connection.h"
#include "request_bodies.h"

#include <QTcpSocket>
#include <cerrno>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace nimbara::devserver {

DevServer::DevServer(QString root, ReportStore& store, std::chrono::milliseconds idleTimeout,
                     QObject* parent)
    : QObject(parent), root_(std::move(root)), catalogs_(root_), reports_(store),
      idleTimeout_(idleTimeout) {
    listener_.setListenBacklogSize(kListenBacklog);
    acceptRetry_.setSingleShot(true);
    acceptRetry_.setInterval(std::chrono::seconds(1));
    connect(&acceptRetry_, &QTimer::timeout, this, &DevServer::resumeAccepting);
}

DevServer::~DevServer() {
    releaseReserve();
}

quint16 DevServer::start(const QHostAddress& address, quint16 port, const QString& hostName) {
    if (!listener_.listen(address, port))
        return 0;
    // QTcpServer answers a failed accept by trying again at once, forever, when the process has
    // no descriptor left; the server accepts by itself to be able to wait instead.
    listener_.pauseAccepting();
    listening_ = int(listener_.socketDescriptor());
    holdReserve();
    incoming_ = new QSocketNotifier(listening_, QSocketNotifier::Read, this);
    connect(incoming_, &QSocketNotifier::activated, this, &DevServer::acceptConnections);
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
    // A bounded number at a time keeps the event loop turning during a flood.
    for (int taken = 0; taken < 256; ++taken) {
        const int descriptor =
            ::accept4(listening_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (descriptor < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            const int error = errno;
            if (error == EAGAIN || error == EWOULDBLOCK) {
                exhausted_ = false;
                return;
            }
            // Before anything else, so that what follows has descriptors to work with.
            releaseReserve();
            pauseAccepting(error);
            return;
        }
        auto* socket = new QTcpSocket;
        if (!socket->setSocketDescriptor(descriptor)) {
            logLine(
                QStringLiteral("cannot use an accepted connection: %1").arg(socket->errorString()));
            ::close(descriptor);
            delete socket;
            continue;
        }
        auto* connection = new HttpConnection(socket, handlers, idleTimeout_, downloadRate_, this);
        connect(connection, &HttpConnection::closed, this, &DevServer::resumeAccepting);
    }
}

void DevServer::pauseAccepting(int error) {
    // Out of descriptors, most likely: waiting connections stay queued by the system until
    // one of ours closes.
    incoming_->setEnabled(false);
    acceptPaused_ = true;
    acceptRetry_.start();
    if (!exhausted_)
        logLine(QStringLiteral("cannot accept connections (%1); waiting for one to close")
                    .arg(QString::fromLocal8Bit(std::strerror(error))));
    exhausted_ = true;
}

void DevServer::resumeAccepting() {
    if (!acceptPaused_)
        return;
    if (!holdReserve()) {
        acceptRetry_.start(); // still out of descriptors
        return;
    }
    acceptPaused_ = false;
    acceptRetry_.stop();
    incoming_->setEnabled(true);
    acceptConnections();
}

bool DevServer::holdReserve() {
    return reserve_[0] >= 0 || ::pipe2(reserve_, O_CLOEXEC) == 0;
}

void DevServer::releaseReserve() {
    for (int& descriptor : reserve_) {
        if (descriptor >= 0)
            ::close(descriptor);
        descriptor = -1;
    }
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
