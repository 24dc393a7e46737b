#include "support/dev_server_process.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonDocument>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpSocket>

namespace nimbara::test {

namespace {

// Generous guards against a hung server; no test depends on how fast anything is.
constexpr int kWaitMs = 30000;

QString serverExecutable() {
    const QString buildDir = qEnvironmentVariable("NIMBARA_BUILD_DIR");
    const QString base = buildDir.isEmpty()
                             ? QCoreApplication::applicationDirPath() + QStringLiteral("/..")
                             : buildDir;
    return QDir(base).filePath(QStringLiteral("tools/devserver/nimbara-devserver"));
}

} // namespace

QByteArray HttpAnswer::header(const QByteArray& name) const {
    for (const auto& [key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

QJsonObject HttpAnswer::json() const {
    return QJsonDocument::fromJson(body).object();
}

DevServerProcess::DevServerProcess(QString root, QString database)
    : root_(std::move(root)), database_(std::move(database)) {}

DevServerProcess::~DevServerProcess() {
    stop();
}

void DevServerProcess::stop() {
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(kWaitMs);
    }
}

bool DevServerProcess::start() {
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(serverExecutable(), {QStringLiteral("--root"), root_, QStringLiteral("--port"),
                                        QStringLiteral("0"), QStringLiteral("--db"), database_});
    if (!process_.waitForStarted(kWaitMs)) {
        error_ = process_.errorString();
        return false;
    }
    // The first line of standard output names the port.
    QByteArray output;
    while (!output.contains('\n') && process_.waitForReadyRead(kWaitMs))
        output += process_.readAllStandardOutput();
    static const QRegularExpression listening(
        QStringLiteral("^listening on http://127\\.0\\.0\\.1:(\\d+)\n"));
    const QRegularExpressionMatch match = listening.match(QString::fromUtf8(output));
    port_ = match.hasMatch() ? match.captured(1).toUShort() : 0;
    if (port_ == 0)
        error_ = QStringLiteral("the server did not report its port (output: %1)")
                     .arg(QString::fromUtf8(output));
    return port_ != 0;
}

QUrl DevServerProcess::url(const QString& pathAndQuery) const {
    return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(port_) + pathAndQuery);
}

HttpAnswer DevServerProcess::get(const QString& pathAndQuery, const HeaderList& headers) {
    QNetworkRequest request(url(pathAndQuery));
    for (const auto& [name, value] : headers)
        request.setRawHeader(name, value);
    return finish(network_.get(request));
}

HttpAnswer DevServerProcess::post(const QString& pathAndQuery, const QByteArray& body,
                                  const HeaderList& headers) {
    QNetworkRequest request(url(pathAndQuery));
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArray("application/json"));
    for (const auto& [name, value] : headers)
        request.setRawHeader(name, value);
    return finish(network_.post(request, body));
}

HttpAnswer DevServerProcess::finish(QNetworkReply* reply) {
    QSignalSpy finished(reply, &QNetworkReply::finished);
    HttpAnswer answer;
    if (reply->isFinished() || finished.wait(kWaitMs)) {
        answer.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        answer.body = reply->readAll();
        for (const auto& pair : reply->rawHeaderPairs())
            answer.headers.append({pair.first, pair.second});
    }
    reply->deleteLater();
    return answer;
}

int DevServerProcess::rawGetStatus(const QByteArray& target) {
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), port_);
    if (!socket.waitForConnected(kWaitMs))
        return 0;
    socket.write("GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    QByteArray received;
    while (!received.contains("\r\n") && socket.waitForReadyRead(kWaitMs))
        received += socket.readAll();
    // "HTTP/1.1 404 Not Found"
    const QList<QByteArray> statusLine = received.left(received.indexOf("\r\n")).split(' ');
    return statusLine.size() >= 2 ? statusLine.at(1).toInt() : 0;
}

} // namespace nimbara::test
