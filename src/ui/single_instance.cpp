#include "ui/single_instance.h"

#include "core/logging.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <unistd.h>

namespace nimbara {

namespace {

// The one request a later launch sends, and the answer that confirms it was handled.
constexpr char kActivateRequest[] = "activate\n";
constexpr char kActivateAnswer[] = "ok\n";

// How long a later launch keeps trying to reach the first one. The first listens right after
// taking the lock, so this only covers the instant between the two, or a first process that is
// busy; it bounds how long a stuck first process can hold up the second.
constexpr int kConnectAttempts = 50;
constexpr int kConnectRetryMs = 100;
constexpr int kExchangeTimeoutMs = 5000;

QString runtimeFolder() {
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QDir::tempPath() : runtime;
}

} // namespace

QString SingleInstanceGuard::instanceName(const QString& preferencesPath) {
    const QByteArray digest = QCryptographicHash::hash(QDir::cleanPath(preferencesPath).toUtf8(),
                                                       QCryptographicHash::Sha256)
                                  .toHex()
                                  .left(16);
    return QStringLiteral("nimbara-%1-%2").arg(getuid()).arg(QString::fromLatin1(digest));
}

SingleInstanceGuard::SingleInstanceGuard(const QString& preferencesPath, QObject* parent)
    : QObject(parent), name_(instanceName(preferencesPath)),
      socketPath_(QDir(runtimeFolder()).filePath(name_ + QStringLiteral(".socket"))),
      lock_(QDir(runtimeFolder()).filePath(name_ + QStringLiteral(".lock"))) {
    // A lock whose process is gone is taken over at once (QLockFile checks the process id);
    // a live holder keeps it however old it is.
    lock_.setStaleLockTime(0);
}

SingleInstanceGuard::~SingleInstanceGuard() {
    if (server_) {
        server_->close();
    }
}

SingleInstanceGuard::Role SingleInstanceGuard::claim() {
    if (!lock_.tryLock(0)) {
        // Another live process holds the lock (or the lock cannot be written at all; then
        // starting would not be safe either).
        askPrimaryToActivate();
        return Role::secondary;
    }
    // We hold the lock, so a socket file left there belongs to a process that is gone.
    QLocalServer::removeServer(socketPath_);
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_.get(), &QLocalServer::newConnection, this,
            &SingleInstanceGuard::acceptConnections);
    if (!server_->listen(socketPath_)) {
        // Later launches cannot reach us to raise the window, but the lock still keeps them
        // from running alongside; they simply end.
        qCWarning(logUi).noquote() << "cannot listen for later launches:" << server_->errorString();
    }
    return Role::primary;
}

void SingleInstanceGuard::acceptConnections() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            while (socket->canReadLine()) {
                if (socket->readLine() == kActivateRequest) {
                    socket->write(kActivateAnswer);
                    Q_EMIT activationRequested();
                }
            }
        });
    }
}

bool SingleInstanceGuard::askPrimaryToActivate() {
    QLocalSocket socket;
    for (int attempt = 0; attempt < kConnectAttempts; ++attempt) {
        socket.connectToServer(socketPath_);
        if (socket.waitForConnected(kExchangeTimeoutMs)) {
            break;
        }
        QThread::msleep(kConnectRetryMs);
    }
    if (socket.state() != QLocalSocket::ConnectedState) {
        return false;
    }
    socket.write(kActivateRequest);
    if (!socket.waitForBytesWritten(kExchangeTimeoutMs)) {
        return false;
    }
    QByteArray answer;
    while (!answer.contains('\n') && socket.waitForReadyRead(kExchangeTimeoutMs)) {
        answer += socket.readAll();
    }
    socket.disconnectFromServer();
    return answer == kActivateAnswer;
}

} // namespace nimbara
