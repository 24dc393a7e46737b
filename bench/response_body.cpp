// Measures the peak memory of reading an answer from a server that sends an endless body as
// fast as the loopback interface carries it. The exchange must stop at the body size limit,
// so the peak may grow by that limit and the network buffers, not by what the server sends.
// The baseline is the peak of the same process after a few exchanges with a small body; the
// ratio is the endless exchange's peak against it.
#include "core/error.h"
#include "platform/network_session.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <arpa/inet.h>
#include <atomic>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace nimbara;

namespace {

constexpr int endlessRounds = 5;
constexpr int busyMilliseconds = 20;

// An HTTP server on 127.0.0.1, one connection at a time, on its own thread so that it sends
// as fast as the client's thread takes the bytes: /small answers 1 KiB, anything else an
// endless body.
class EndlessServer {
public:
    EndlessServer() {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (listener_ < 0 ||
            ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            ::listen(listener_, 8) != 0 ||
            ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            qFatal("the loopback server could not listen");
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { serve(); });
    }
    ~EndlessServer() {
        stopping_ = true;
        ::shutdown(listener_, SHUT_RDWR);
        thread_.join();
        ::close(listener_);
    }

    QUrl url(const QString& path) const {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(path));
    }

    void serve() {
        while (!stopping_) {
            const int connection = ::accept(listener_, nullptr, nullptr);
            if (connection < 0)
                continue;
            answer(connection);
            ::close(connection);
        }
    }

    // The bytes sent so far in endless bodies, in MiB.
    double sentMiB() const { return double(sent_.load()) / (1024 * 1024); }

private:
    void answer(int connection) {
        QByteArray request;
        char buffer[4096];
        while (!request.contains("\r\n\r\n")) {
            const ssize_t read = ::recv(connection, buffer, sizeof buffer, 0);
            if (read <= 0)
                return;
            request.append(buffer, read);
        }
        if (request.startsWith("GET /small ")) {
            const QByteArray reply = "HTTP/1.1 200 OK\r\nContent-Length: 1024\r\nConnection: "
                                     "close\r\n\r\n" +
                                     QByteArray(1024, 'x');
            ::send(connection, reply.constData(), size_t(reply.size()), MSG_NOSIGNAL);
            return;
        }
        const QByteArray head = "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n";
        ::send(connection, head.constData(), size_t(head.size()), MSG_NOSIGNAL);
        const QByteArray chunk(256 * 1024, ' ');
        ssize_t sent = 0;
        while ((sent = ::send(connection, chunk.constData(), size_t(chunk.size()), MSG_NOSIGNAL)) >
               0)
            sent_ += sent;
    }

    int listener_ = -1;
    quint16 port_ = 0;
    std::atomic<bool> stopping_ = false;
    std::atomic<qint64> sent_ = 0;
    std::thread thread_;
};

// The process's peak resident memory so far, in MiB.
double peakResidentMiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        qFatal("/proc/self/status is unreadable");
    const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("VmHWM:\\s*(\\d+) kB"))
                                              .match(QString::fromLatin1(status.readAll()));
    if (!match.hasMatch())
        qFatal("/proc/self/status has no VmHWM");
    return match.captured(1).toDouble() / 1024.0;
}

// GETs `url` and gives the body's size, or the error's description.
QString fetch(QNetworkAccessManager& session, const QUrl& url) {
    QString outcome;
    auto run = [](QNetworkAccessManager& on, QUrl from, QString& into) -> QCoro::Task<> {
        try {
            QCoro::Task<HttpResponse> exchange = httpGet(on, makeNetworkRequest(from));
            const HttpResponse response = co_await std::move(exchange);
            into = QStringLiteral("%1 bytes").arg(response.body.size());
        } catch (const Error& error) {
            into = error.description();
        }
    };
    QCoro::waitFor(run(session, url, outcome));
    return outcome;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QTemporaryDir cacheFolder;
    QNetworkAccessManager session;
    configureNetworkAccessManager(session, cacheFolder.path());
    EndlessServer server;
    QTextStream out(stdout);

    QString small;
    for (int round = 0; round < endlessRounds; ++round)
        small = fetch(session, server.url(QStringLiteral("/small")));
    const double baseline = peakResidentMiB();
    out << "small body (baseline): " << small << ", peak " << baseline << " MiB\n";

    // The main thread is busy most of the time, as it is while the launcher draws, so the
    // network thread gets ahead of it.
    QTimer busy;
    QObject::connect(&busy, &QTimer::timeout, [] {
        QElapsedTimer spent;
        spent.start();
        while (spent.elapsed() < busyMilliseconds) {
        }
    });
    busy.start(1);
    for (int round = 0; round < endlessRounds; ++round) {
        const QString endless = fetch(session, server.url(QStringLiteral("/endless")));
        out << "endless body, round " << round + 1 << ": " << endless << ", peak "
            << peakResidentMiB() << " MiB, sent " << server.sentMiB() << " MiB\n";
    }
    const double peak = peakResidentMiB();
    const double limit = double(maximumResponseBodySize) / (1024 * 1024);
    out << "growth over the baseline: " << peak - baseline << " MiB (body limit " << limit
        << " MiB, so " << peak - baseline - limit << " MiB beyond it)\n";
    out << "ratio: " << peak / baseline << "\n";
    return 0;
}
