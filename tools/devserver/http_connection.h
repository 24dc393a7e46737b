#pragma once

#include "http_reply.h"
#include "http_request.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>
#include <optional>

class QTcpSocket;

namespace nimbara::devserver {

// One client connection speaking HTTP/1.1: reads request heads and bodies, hands each
// request to the server and writes its answer, keeping the connection for the next request
// unless either side asked to close it.
//
// Memory stays bounded whatever the client sends: the head may hold at most kMaxHeadBytes
// (431 beyond), a body is read only after the server admitted its head (so an unknown path,
// a missing authentication or a Content-Length over the route's limit is answered before a
// byte of the body is taken), a file answer is copied to the socket a piece at a time as the
// client takes it, and no new input is read while an answer is being written.
//
// A connection that stays silent (nothing read, nothing written) for the idle time is
// closed; so is one whose answer the client stops taking. A file answer can be paced to a
// number of bytes per second, to show a slow download.
class HttpConnection : public QObject {
    Q_OBJECT

public:
    static constexpr qsizetype kMaxHeadBytes = 64 * 1024;

    struct Handlers {
        // An answer from the head alone (a refusal), or no value to read the body and go on.
        std::function<std::optional<Reply>(const Request&)> admit;
        // The answer to a complete request.
        std::function<Reply(const Request&)> answer;
    };

    // Takes ownership of `socket`. `streamBytesPerSecond` paces file answers; 0 sends them as
    // fast as the client takes them.
    HttpConnection(QTcpSocket* socket, Handlers handlers, std::chrono::milliseconds idleTimeout,
                   qint64 streamBytesPerSecond = 0, QObject* parent = nullptr);

Q_SIGNALS:
    // The connection is closed; the object deletes itself.
    void closed();

private:
    enum class State {
        Head,     // reading a request head
        Body,     // reading an admitted body
        Writing,  // writing an answer
        Draining, // answered and closing: unread input is discarded until the client leaves
    };

    void readAvailable();
    void process();
    void startRequest(const QByteArray& head);
    void respond(Reply reply, bool keepOpen);
    void writeMore();
    void finishAnswer();
    void closeWhenWritten();
    void log(qint64 bodyBytes) const;

    QTcpSocket* socket_;
    Handlers handlers_;
    QTimer idle_;
    QTimer pace_;           // hands out the next share of a paced file answer
    qint64 paceShare_ = 0;  // bytes a paced answer may send per tick; 0 when not paced
    qint64 paceBudget_ = 0; // bytes it may still send in this tick
    State state_ = State::Head;
    QByteArray buffer_; // input read but not yet taken: part of a head or of a body
    Request request_;
    Reply reply_;           // the answer being written
    qint64 streamLeft_ = 0; // bytes of reply_.stream still to write
    bool keepOpen_ = true;
    bool writeShutdown_ = false;
};

} // namespace nimbara::devserver
