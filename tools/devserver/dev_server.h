#pragma once

#include "file_routes.h"
#include "http_reply.h"
#include "http_request.h"
#include "report_routes.h"
#include "report_store.h"
#include "routes.h"

#include <QHostAddress>
#include <QObject>
#include <QSocketNotifier>
#include <QString>
#include <QTcpServer>
#include <QTimer>
#include <chrono>

namespace nimbara::devserver {

// The development server: accepts connections, routes every request to the catalog,
// download, appcast and report endpoints and answers it; each connection logs one line per
// request (method, target, status, bytes). Unknown paths answer 404 and known paths asked
// with another method 405, both with a JSON error body. HEAD is answered like GET, without
// the body.
//
// Bodies are taken only by the report endpoints, and only after the head has shown the
// route, the authentication and a Content-Length within kMaxReportBytes (else 404, 405, 401,
// 411 or 413, before any of the body is read). When the process runs out of descriptors the
// server stops accepting (the waiting connections stay queued by the system) and tries again
// once a connection closes, or a second later, rather than failing in a busy loop.
class DevServer : public QObject {
    Q_OBJECT

public:
    static constexpr qint64 kMaxReportBytes = 1024 * 1024;
    // The queue of connections the system completes before the server takes them.
    static constexpr int kListenBacklog = 4096;

    DevServer(QString root, ReportStore& store, std::chrono::milliseconds idleTimeout,
              QObject* parent = nullptr);
    ~DevServer() override;
    DevServer(const DevServer&) = delete;
    DevServer& operator=(const DevServer&) = delete;

    // Listens on `address`; `port` 0 picks a free one. Answers the port, or 0 on failure.
    // `hostName` is how clients are told to reach the server (issue URLs).
    quint16 start(const QHostAddress& address, quint16 port, const QString& hostName);

    CatalogFiles& catalogs() { return catalogs_; }

    // Paces every download (a file under downloads/) to this many bytes per second; 0, the
    // default, does not pace them.
    void setDownloadRate(qint64 bytesPerSecond) { downloadRate_ = bytesPerSecond; }

private:
    void acceptConnections();
    void pauseAccepting(int error);
    void resumeAccepting();
    bool holdReserve();
    void releaseReserve();
    std::optional<Reply> admit(const Request& request) const;
    Reply answer(const Request& request);
    Reply route(const Request& request);

    QString root_;
    CatalogFiles catalogs_;
    ReportRoutes reports_;
    std::chrono::milliseconds idleTimeout_;
    qint64 downloadRate_ = 0;
    QTcpServer listener_; // binds and listens; connections are accepted by acceptConnections()
    int listening_ = -1;  // the listening socket's descriptor
    QSocketNotifier* incoming_ = nullptr;
    // Two descriptors held back while accepting, handed back to the process when it runs
    // out, so that it can still work (open a file to serve, the database) while it waits.
    int reserve_[2] = {-1, -1};
    QTimer acceptRetry_;
    bool acceptPaused_ = false;
    bool exhausted_ = false; // accepting failed since the queue was last emptied
};

} // namespace nimbara::devserver
