#include "dev_server.h"

#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QUrl>
#include <exception>

namespace nimbara::devserver {

namespace {

using Method = QHttpServerRequest::Method;

QString methodName(Method method) {
    switch (method) {
    case Method::Get:
        return QStringLiteral("GET");
    case Method::Put:
        return QStringLiteral("PUT");
    case Method::Delete:
        return QStringLiteral("DELETE");
    case Method::Post:
        return QStringLiteral("POST");
    case Method::Head:
        return QStringLiteral("HEAD");
    case Method::Options:
        return QStringLiteral("OPTIONS");
    case Method::Patch:
        return QStringLiteral("PATCH");
    case Method::Connect:
        return QStringLiteral("CONNECT");
    case Method::Trace:
        return QStringLiteral("TRACE");
    default:
        return QStringLiteral("UNKNOWN");
    }
}

// The path's segments, still percent-encoded: "/api/7/store/" gives api, 7, store. One
// trailing slash is ignored.
QList<QByteArray> pathSegments(const QUrl& url) {
    QList<QByteArray> segments = url.path(QUrl::FullyEncoded).toLatin1().split('/');
    if (segments.isEmpty() || !segments.front().isEmpty())
        return {};
    segments.removeFirst();
    if (segments.size() > 1 && segments.back().isEmpty())
        segments.removeLast();
    return segments;
}

bool isPath(const QList<QByteArray>& segments, std::initializer_list<const char*> expected) {
    if (segments.size() != qsizetype(expected.size()))
        return false;
    qsizetype index = 0;
    for (const char* part : expected) {
        if (segments.at(index++) != part)
            return false;
    }
    return true;
}

} // namespace

DevServer::DevServer(QString root, ReportStore& store, QObject* parent)
    : QAbstractHttpServer(parent), root_(std::move(root)), catalogs_(root_), reports_(store) {}

quint16 DevServer::start(const QHostAddress& address, quint16 port, const QString& hostName) {
    const quint16 bound = listen(address, port);
    if (bound != 0) {
        QUrl origin;
        origin.setScheme(QStringLiteral("http"));
        origin.setHost(hostName);
        origin.setPort(bound);
        reports_.setOrigin(origin);
    }
    return bound;
}

Reply DevServer::route(const QHttpServerRequest& request) {
    const QList<QByteArray> segments = pathSegments(request.url());
    const Method method = request.method();
    const bool get = method == Method::Get || method == Method::Head;
    const bool post = method == Method::Post;
    const QByteArray getOnly("GET, HEAD");
    const QByteArray getOrPost("GET, HEAD, POST");

    if (isPath(segments, {"api", "launcher", "manifest"}))
        return get ? catalogs_.serve(request) : Reply::methodNotAllowed(getOnly);
    if (isPath(segments, {"api", "launcher", "events"})) {
        if (post)
            return reports_.postEvent(request);
        return get ? reports_.listEvents() : Reply::methodNotAllowed(getOrPost);
    }
    if (isPath(segments, {"api", "feedback"})) {
        if (post)
            return reports_.postFeedback(request);
        return get ? reports_.listFeedback() : Reply::methodNotAllowed(getOrPost);
    }
    if (segments.size() == 3 && segments.at(0) == "api" && segments.at(2) == "store") {
        const QString project = QUrl::fromPercentEncoding(segments.at(1));
        if (project.isEmpty() || project.contains(u'/'))
            return Reply::notFound();
        if (post)
            return reports_.postErrorEvent(project, request);
        return get ? reports_.listErrorEvents(project) : Reply::methodNotAllowed(getOrPost);
    }
    if (segments.size() == 2 && segments.at(0) == "feedback")
        return get ? reports_.showFeedback(QUrl::fromPercentEncoding(segments.at(1)))
                   : Reply::methodNotAllowed(getOnly);
    if (isPath(segments, {"appcast.xml"}))
        return get ? serveAppcast(root_, request) : Reply::methodNotAllowed(getOnly);
    if (segments.size() >= 2 && segments.at(0) == "downloads")
        return get ? serveDownload(root_, segments.mid(1)) : Reply::methodNotAllowed(getOnly);
    return Reply::notFound();
}

bool DevServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
    Reply reply;
    try {
        reply = route(request);
    } catch (const Error& error) {
        reply = Reply::error(Status::InternalServerError, error.description());
    } catch (const std::exception& error) {
        reply = Reply::error(Status::InternalServerError, QString::fromLocal8Bit(error.what()));
    }
    send(request, socket, reply);
    return true;
}

void DevServer::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) {
    send(request, socket, Reply::notFound());
}

void DevServer::send(const QHttpServerRequest& request, QTcpSocket* socket, const Reply& reply) {
    const bool head = request.method() == Method::Head;
    const bool bodyless = reply.status == Status::NotModified || reply.status == Status::NoContent;
    QHttpServerResponder responder = makeResponder(request, socket);
    responder.writeStatusLine(reply.status);
    for (const auto& [name, value] : reply.headers)
        responder.writeHeader(name, value);
    if (!bodyless)
        responder.writeHeader("Content-Length", QByteArray::number(reply.body.size()));
    const QByteArray body = head || bodyless ? QByteArray() : reply.body;
    responder.writeBody(body);

    const QUrl url = request.url();
    QString target = url.path(QUrl::FullyEncoded);
    if (url.hasQuery())
        target += u'?' + url.query(QUrl::FullyEncoded);
    // Joined rather than arg()-formatted: the path may hold "%2F" and the like.
    logLine(methodName(request.method()) + u' ' + target + u' ' +
            QString::number(int(reply.status)) + u' ' + QString::number(body.size()));
}

} // namespace nimbara::devserver
