#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QNetworkAccessManager>
#include <QProcess>
#include <QString>
#include <QUrl>
#include <utility>

namespace nimbara::test {

// One answer of the server as the tests look at it.
struct HttpAnswer {
    int status = 0; // 0: no answer arrived
    QByteArray body;
    QList<std::pair<QByteArray, QByteArray>> headers;

    QByteArray header(const QByteArray& name) const;
    QJsonObject json() const;
};

using HeaderList = QList<std::pair<QByteArray, QByteArray>>;

// The real nimbara-devserver, started on a free loopback port for one test and killed when
// the object goes. start() answers false (with the reason in error()) when the server did
// not come up.
class DevServerProcess {
public:
    DevServerProcess(QString root, QString database);
    ~DevServerProcess();
    DevServerProcess(const DevServerProcess&) = delete;
    DevServerProcess& operator=(const DevServerProcess&) = delete;

    bool start();
    // Kills the server; later requests find nobody listening.
    void stop();
    const QString& error() const { return error_; }
    QUrl url(const QString& pathAndQuery) const;

    HttpAnswer get(const QString& pathAndQuery, const HeaderList& headers = {});
    HttpAnswer post(const QString& pathAndQuery, const QByteArray& body,
                    const HeaderList& headers = {});
    // The status of a GET whose request target is sent byte for byte, as no URL class
    // would leave it ("/downloads/../x", "/downloads/..%2Fx").
    int rawGetStatus(const QByteArray& target);

private:
    HttpAnswer finish(class QNetworkReply* reply);

    QString root_;
    QString database_;
    QProcess process_;
    quint16 port_ = 0;
    QString error_;
    QNetworkAccessManager network_;
};

} // namespace nimbara::test
