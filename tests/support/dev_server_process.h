#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QNetworkAccessManager>
#include <QProcess>
#include <QString>
#include <QStringList>
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

// The status of a raw HTTP answer ("HTTP/1.1 404 Not Found\r\n..."); 0 when there is none.
int statusOf(const QByteArray& answer);

using HeaderList = QList<std::pair<QByteArray, QByteArray>>;

// The real nimbara-devserver, started on a free loopback port for one test and killed when
// the object goes. start() answers false (with the reason in error()) when the server did
// not come up. `arguments` are added to the server's command line.
class DevServerProcess {
public:
    DevServerProcess(QString root, QString database, QStringList arguments = {});
    ~DevServerProcess();
    DevServerProcess(const DevServerProcess&) = delete;
    DevServerProcess& operator=(const DevServerProcess&) = delete;

    // Before start(): the server may hold at most `count` file descriptors.
    void limitDescriptors(int count);
    // Before start(): the server's log goes to a file beside the database instead of the
    // test's standard error, for log() to read.
    void captureLog();
    QByteArray log() const;
    bool start();
    const QString& error() const { return error_; }
    QUrl url(const QString& pathAndQuery) const;

    HttpAnswer get(const QString& pathAndQuery, const HeaderList& headers = {});
    HttpAnswer post(const QString& pathAndQuery, const QByteArray& body,
                    const HeaderList& headers = {});
    // The status of a GET whose request target is sent byte for byte, as no URL class
    // would leave it ("/downloads/../x", "/downloads/..%2Fx").
    int rawGetStatus(const QByteArray& target);
    // Sends `bytes` as they are on a new connection and answers everything the server sent
    // until it closed the connection (empty when it did not within the guard time).
    QByteArray exchange(const QByteArray& bytes);

private:
    HttpAnswer finish(class QNetworkReply* reply);

    QString root_;
    QString database_;
    QStringList arguments_;
    QProcess process_;
    quint16 port_ = 0;
    QString error_;
    QNetworkAccessManager network_;
};

} // namespace nimbara::test
