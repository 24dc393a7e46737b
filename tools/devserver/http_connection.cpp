#include "http_connection.h"

#include <QTcpSocket>
#include <sys/socket.h>

namespace nimbara::devserver {

namespace {

// How much of a file answer is handed to the socket at a time, and how much input the socket
// may hold while the connection is busy.
constexpr qint64 kChunkBytes = 64 * 1024;
constexpr qint64 kReadBufferBytes = 256 * 1024;
// A paced answer gets its share of bytes this often.
constexpr std::chrono::milliseconds kPaceTick(100);

bool isBodyless(Status status) {
    return status == Status::NotModified || status == Status::NoContent;
}

} // namespace

HttpConnection::HttpConnection(QTcpSocket* socket, Handlers handlers,
                               std::chrono::milliseconds idleTimeout, qint64 streamBytesPerSecond,
                               QObject* parent)
    : QObject(parent), socket_(socket), handlers_(std::move(handlers)),
      paceShare_(streamBytesPerSecond > 0
                     ? std::max<qint64>(1, streamBytesPerSecond * kPaceTick.count() / 1000)
                     : 0) {
    socket_->setParent(this);
    socket_->setReadBufferSize(kReadBufferBytes);
    idle_.setSingleShot(true);
    idle_.setInterval(idleTimeout);
    connect(&idle_, &QTimer::timeout, socket_, &QTcpSocket::abort);
    pace_.setInterval(kPaceTick);
    connect(&pace_, &QTimer::timeout, this, [this] {
        paceBudget_ = paceShare_;
        idle_.start(); // waiting for the next share is not silence
        writeMore();
    });
    connect(socket_, &QTcpSocket::readyRead, this, &HttpConnection::readAvailable);
    connect(socket_, &QTcpSocket::bytesWritten, this, [this] {
        if (state_ == State::Draining) {
            closeWhenWritten();
            return;
        }
        idle_.start();
        writeMore();
    });
    connect(socket_, &QTcpSocket::disconnected, this, [this] {
        idle_.stop();
        Q_EMIT closed();
        deleteLater();
    });
    idle_.start();
    readAvailable();
}

void HttpConnection::readAvailable() {
    if (state_ == State::Draining) {
        socket_->skip(socket_->bytesAvailable());
        return;
    }
    // Input waits in the socket (whose buffer is bounded) until the answer is written.
    if (state_ == State::Writing || socket_->state() != QAbstractSocket::ConnectedState)
        return;
    const QByteArray input = socket_->readAll();
    if (!input.isEmpty())
        idle_.start();
    buffer_ += input;
    process();
}

void HttpConnection::process() {
    while (state_ == State::Head || state_ == State::Body) {
        if (state_ == State::Body) {
            const qint64 missing = *request_.contentLength - request_.body.size();
            request_.body += buffer_.left(missing);
            buffer_.remove(0, std::min<qint64>(missing, buffer_.size()));
            if (request_.body.size() < *request_.contentLength)
                return;
            respond(handlers_.answer(request_), request_.keepAlive());
            continue;
        }
        // Blank lines between requests are tolerated, as some clients send one after a body.
        while (buffer_.startsWith("\r\n"))
            buffer_.remove(0, 2);
        const qsizetype end = buffer_.indexOf("\r\n\r\n");
        if (end < 0 && buffer_.size() <= kMaxHeadBytes)
            return;
        if (end < 0 || end > kMaxHeadBytes) {
            respond(Reply::error(
                        Status::HeaderFieldsTooLarge,
                        QStringLiteral("the request head exceeds %1 bytes").arg(kMaxHeadBytes)),
                    false);
            return;
        }
        const QByteArray head = buffer_.left(end);
        buffer_.remove(0, end + 4);
        startRequest(head);
    }
}

void HttpConnection::startRequest(const QByteArray& head) {
    ParsedHead parsed = parseRequestHead(head);
    request_ = std::move(parsed.request);
    if (!parsed.error.isEmpty()) {
        respond(Reply::error(Status::BadRequest, parsed.error), false);
        return;
    }
    const bool bodyFollows = request_.contentLength.value_or(0) > 0;
    // A POST without a length may still be followed by the body its sender meant.
    const bool bodyMayFollow =
        bodyFollows || (!request_.contentLength && request_.method == "POST");
    if (!request_.header("Transfer-Encoding").isEmpty()) {
        respond(Reply::error(Status::LengthRequired,
                             QStringLiteral("send the body with a Content-Length")),
                false);
        return;
    }
    if (std::optional<Reply> refusal = handlers_.admit(request_)) {
        // The body, if any, is never read: the connection cannot be used again.
        respond(std::move(*refusal), request_.keepAlive() && !bodyMayFollow);
        return;
    }
    if (!bodyFollows) {
        respond(handlers_.answer(request_), request_.keepAlive());
        return;
    }
    if (request_.minorVersion == 1 &&
        request_.header("Expect").compare("100-continue", Qt::CaseInsensitive) == 0)
        socket_->write("HTTP/1.1 100 Continue\r\n\r\n");
    request_.body.reserve(*request_.contentLength);
    state_ = State::Body;
}

void HttpConnection::respond(Reply reply, bool keepOpen) {
    reply_ = std::move(reply);
    keepOpen_ = keepOpen;
    const bool bodyless = isBodyless(reply_.status);
    QByteArray head = "HTTP/1.1 " + QByteArray::number(int(reply_.status)) + ' ' +
                      reasonPhrase(reply_.status) + "\r\n";
    for (const auto& [name, value] : reply_.headers)
        head += name + ": " + value + "\r\n";
    if (!bodyless)
        head += "Content-Length: " + QByteArray::number(reply_.bodySize()) + "\r\n";
    if (!keepOpen_)
        head += "Connection: close\r\n";
    head += "\r\n";
    socket_->write(head);

    const bool withBody = !bodyless && !request_.isHead();
    if (withBody && !reply_.stream)
        socket_->write(reply_.body);
    streamLeft_ = withBody && reply_.stream ? reply_.streamSize : 0;
    paceBudget_ = paceShare_;
    log(withBody ? reply_.bodySize() : 0);
    state_ = State::Writing;
    writeMore();
}

void HttpConnection::writeMore() {
    if (state_ != State::Writing)
        return;
    while (streamLeft_ > 0 && socket_->bytesToWrite() < kChunkBytes) {
        qint64 size = std::min(kChunkBytes, streamLeft_);
        if (paceShare_ > 0) {
            if (paceBudget_ == 0) {
                if (!pace_.isActive())
                    pace_.start();
                return;
            }
            size = std::min(size, paceBudget_);
            paceBudget_ -= size;
        }
        const QByteArray chunk = reply_.stream->read(size);
        if (chunk.isEmpty()) {
            // The file shrank or failed after its length was announced: the client must see
            // a cut answer, not a complete-looking one.
            logLine(QStringLiteral("aborting %1 %2: the file ended early (%3)")
                        .arg(QString::fromLatin1(request_.method),
                             QString::fromLatin1(request_.target), reply_.stream->errorString()));
            socket_->abort();
            return;
        }
        streamLeft_ -= chunk.size();
        socket_->write(chunk);
    }
    // The next request waits until this answer is (nearly) handed to the system, so that a
    // client that sends requests without reading the answers does not fill our memory.
    if (streamLeft_ == 0 && socket_->bytesToWrite() < kChunkBytes)
        finishAnswer();
}

void HttpConnection::finishAnswer() {
    pace_.stop();
    reply_ = Reply();
    if (!keepOpen_) {
        state_ = State::Draining;
        buffer_.clear();
        closeWhenWritten();
        return;
    }
    request_ = Request();
    state_ = State::Head;
    // Requests that arrived meanwhile are taken from the event loop, not by recursion.
    QMetaObject::invokeMethod(this, &HttpConnection::readAvailable, Qt::QueuedConnection);
}

void HttpConnection::closeWhenWritten() {
    if (writeShutdown_ || socket_->bytesToWrite() > 0)
        return;
    // Ends the sending side only, so that the client reads the whole answer even while its
    // unread body is still arriving; the idle timer (no longer restarted) ends the rest.
    writeShutdown_ = true;
    ::shutdown(int(socket_->socketDescriptor()), SHUT_WR);
    readAvailable();
}

void HttpConnection::log(qint64 bodyBytes) const {
    const QString method =
        request_.method.isEmpty() ? QStringLiteral("-") : QString::fromLatin1(request_.method);
    const QString target =
        request_.target.isEmpty() ? QStringLiteral("-") : QString::fromLatin1(request_.target);
    // Joined rather than arg()-formatted: the target may hold "%2F" and the like.
    logLine(method + u' ' + target + u' ' + QString::number(int(reply_.status)) + u' ' +
            QString::number(bodyBytes));
}

} // namespace nimbara::devserver
