#pragma once

#include "file_routes.h"
#include "http_reply.h"
#include "report_routes.h"
#include "report_store.h"

#include <QAbstractHttpServer>
#include <QHostAddress>
#include <QString>

namespace nimbara::devserver {

// The development server: routes every request to the catalog, download, appcast and report
// endpoints, writes the answer and logs one line per request (method, path, status, bytes).
// Unknown paths answer 404 and known paths asked with another method 405, both with a JSON
// error body. HEAD is answered like GET, without the body.
class DevServer : public QAbstractHttpServer {
    Q_OBJECT

public:
    DevServer(QString root, ReportStore& store, QObject* parent = nullptr);

    // Listens on `address`; `port` 0 picks a free one. Answers the port, or 0 on failure.
    // `hostName` is how clients are told to reach the server (issue URLs).
    quint16 start(const QHostAddress& address, quint16 port, const QString& hostName);

    CatalogFiles& catalogs() { return catalogs_; }

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    Reply route(const QHttpServerRequest& request);
    void send(const QHttpServerRequest& request, QTcpSocket* socket, const Reply& reply);

    QString root_;
    CatalogFiles catalogs_;
    ReportRoutes reports_;
};

} // namespace nimbara::devserver
