#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <functional>

namespace nimbara::test {

using Respond = std::function<void(QTcpSocket*)>;

// A bare HTTP/1.1 peer on a loopback address that answers every request through `respond`,
// so that a test can send a body without a length, cut it short or stall.
class RawServer : public QTcpServer {
public:
    explicit RawServer(Respond respond, const QHostAddress& address = QHostAddress::LocalHost);
    int requests = 0;

private:
    Respond respond_;
};

// An answer with `status` and `body`, announcing its length or ending it by closing the
// connection; `sent` (when given) cuts the body short, after which the server closes the
// connection or, with `stall`, sends nothing more.
Respond answer(int status, QByteArray body, bool withLength = true, qsizetype sent = -1,
               bool stall = false);

} // namespace nimbara::test
