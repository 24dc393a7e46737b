#include "support/dev_server_process.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpSocket>
#include <sys/resource.h>

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

int statusOf(const QByteArray& answer) {
    // "HTTP/1.1 404 Not Found"
    const QList<QByteArray> statusLine = answer.left(answer.indexOf("\r\n")).split(' ');
    return statusLine.size() >= 2 ? statusLine.at(1).toInt() : 0;
}

DevServerProcess::DevServerProcess(QString root, QString database, QStringList arguments)
    : root_(std::move(root)), database_(std::move(database)), arguments_(std::move(arguments)) {
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
}

void DevServerProcess::limitDescriptors(int count) {
    process_.setChildProcessModifier([count] {
        const rlimit limit{rlim_t(count), rlim_t(count)};
        setrlimit(RLIMIT_NOFILE, &limit);
    });
}

DevServerProcess::~DevServerProcess() {
    process_.kill();
    process_.waitForFinished(kWaitMs);
}

void DevServerProcess::captureLog() {
    process_.setProcessChannelMode(QProcess::SeparateChannels);
    process_.setStandardErrorFile(database_ + QStringLiteral(".log"));
}

QByteArray DevServerProcess::log() const {
    QFile file(database_ + QStringLiteral(".log"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool DevServerProcess::start() {
    process_.start(serverExecutable(),
                   QStringList{QStringLiteral("--root"), root_, QStringLiteral("--port"),
                               QStringLiteral("0"), QStringLiteral("--db"), database_} +
                       arguments_);
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
    return statusOf(
        exchange("GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n"));
}

QByteArray DevServerProcess::exchange(const QByteArray& bytes) {
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), port_);
    if (!socket.waitForConnected(kWaitMs))
        return {};
    socket.write(bytes);
    QByteArray received;
    while (socket.state() == QAbstractSocket::ConnectedState && socket.waitForReadyRead(kWaitMs))
        received += socket.readAll();
    received += socket.readAll();
    return socket.state() == QAbstractSocket::ConnectedState ? QByteArray() : received;
}

} // namespace nimbara::test
