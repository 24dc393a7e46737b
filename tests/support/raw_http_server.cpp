#include "support/raw_http_server.h"

#include <QTimer>

namespace nimbara::test {

RawServer::RawServer(Respond respond, const QHostAddress& address) : respond_(std::move(respond)) {
    if (!listen(address, 0))
        qFatal("the loopback server could not listen");
    connect(this, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                // A TLS hello (0x16) gets the plain answer too, which ends the handshake.
                const QByteArray head = socket->peek(64 * 1024);
                if ((head.contains("\r\n\r\n") || head.startsWith('\x16')) &&
                    !socket->property("answered").toBool()) {
                    socket->setProperty("answered", true);
                    ++requests;
                    respond_(socket);
                }
            });
        }
    });
}

Respond answer(int status, QByteArray body, bool withLength, qsizetype sent, bool stall) {
    return [=](QTcpSocket* socket) {
        QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + " Status\r\n";
        head += withLength ? "Content-Length: " + QByteArray::number(body.size()) + "\r\n"
                           : QByteArray("Connection: close\r\n");
        socket->write(head + "\r\n" + (sent < 0 ? body : body.left(sent)));
        // Closed once what was sent has been read, so that the client sees the body end.
        if (!stall)
            QTimer::singleShot(50, socket, &QTcpSocket::disconnectFromHost);
    };
}

} // namespace nimbara::test
