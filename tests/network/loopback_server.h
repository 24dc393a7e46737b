#pragma once

#include <QAbstractHttpServer>
#include <QByteArray>
#include <QHttpServerRequest>
#include <QList>
#include <QPair>
#include <QSslCertificate>
#include <QSslKey>
#include <QTcpSocket>
#include <QUrl>
#include <functional>

namespace nimbara::test {

using HeaderList = QList<QPair<QByteArray, QByteArray>>;

// One request as the server received it.
struct ReceivedRequest {
    QHttpServerRequest::Method method = QHttpServerRequest::Method::Unknown;
    QUrl url;
    HeaderList headers;
    QByteArray body;

    // The value of header `name` (matched without regard to case), or a null array.
    QByteArray header(QByteArrayView name) const;
};

// An HTTP server on 127.0.0.1 and a free port that records every request and answers it
// through a handler written against the raw socket, so that a test can answer late, never,
// or with a broken response.
class LoopbackServer : public QAbstractHttpServer {
public:
    using Handler = std::function<void(const ReceivedRequest&, QTcpSocket*)>;

    // Listens at once (over TLS when an identity is given); the handler defaults to 404.
    explicit LoopbackServer(Handler handler = {});
    LoopbackServer(const QSslCertificate& certificate, const QSslKey& key, Handler handler);

    void setHandler(Handler handler) { handler_ = std::move(handler); }
    quint16 port() const { return port_; }
    // "http://127.0.0.1:<port>" + pathAndQuery ("https" for a TLS server).
    QUrl url(const QString& pathAndQuery = {}) const;

    const QList<ReceivedRequest>& requests() const { return requests_; }
    // Runs the event loop until `count` requests have arrived (false after a generous wait).
    bool waitForRequests(qsizetype count);

    // Writes a complete response with a Content-Length header.
    static void respond(QTcpSocket* socket, int status, const QByteArray& body,
                        const HeaderList& headers = {{"Content-Type", "application/json"}});
    // A handler that answers every request with the same response.
    static Handler answering(int status, QByteArray body,
                             HeaderList headers = {{"Content-Type", "application/json"}});

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    void start();

    Handler handler_;
    QList<ReceivedRequest> requests_;
    quint16 port_ = 0;
    bool tls_ = false;
};

// A port on 127.0.0.1 that nothing listens on.
quint16 closedPort();

// A fresh self-signed certificate for 127.0.0.1 and its key.
struct TlsIdentity {
    QSslCertificate certificate;
    QSslKey key;
};
TlsIdentity makeLoopbackTlsIdentity();

} // namespace nimbara::test
