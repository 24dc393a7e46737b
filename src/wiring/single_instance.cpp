#include "wiring/single_instance.h"

#include "core/logging.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <unistd.h>

namespace nimbara {

namespace {

// The one request a later launch sends, and the answer that confirms it was handled.
constexpr char kActivateRequest[] = "activate\n";
constexpr char kActivateAnswer[] = "ok\n";

// How long a later launch keeps trying to reach the first one when the lock says it runs. The
// first listens right after taking the lock, so this only covers the instant between the two;
// a first process that runs with another runtime folder is never reached, and this bounds how
// long the second takes to say so.
constexpr int kConnectAttempts = 20;
constexpr int kConnectRetryMs = 100;
constexpr int kConnectTimeoutMs = 1000;
// How long the first may take to answer (it may be busy starting).
constexpr int kExchangeTimeoutMs = 5000;

QString runtimeFolder() {
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QDir::tempPath() : runtime;
}

// A line for whoever started this launch from a terminal, saying why no window of its own comes.
void reportHandOver(const QString& folder) {
    qCInfo(logUi).noquote() << "a launcher already runs for" << folder
                            << "- asked it to bring its window forward; this launch ends";
}

} // namespace

QString SingleInstanceGuard::instanceName(const QString& canonicalFolder) {
    const QByteArray digest =
        QCryptographicHash::hash(canonicalFolder.toUtf8(), QCryptographicHash::Sha256)
            .toHex()
            .left(16);
    return QStringLiteral("nimbara-%1-%2").arg(getuid()).arg(QString::fromLatin1(digest));
}

SingleInstanceGuard::SingleInstanceGuard(const QString& preferencesPath, QObject* parent)
    : QObject(parent), lock_(preferencesPath) {}

SingleInstanceGuard::~SingleInstanceGuard() {
    if (server_) {
        server_->close();
    }
}

SingleInstanceGuard::Role SingleInstanceGuard::claim() {
    const ExclusiveFileLock::Outcome outcome = lock_.tryAcquire();
    const QString& folder = lock_.folder();
    socketPath_ = QDir(runtimeFolder()).filePath(instanceName(folder) + QStringLiteral(".socket"));
    switch (outcome) {
    case ExclusiveFileLock::Outcome::acquired:
        listen();
        return Role::primary;
    case ExclusiveFileLock::Outcome::heldElsewhere:
        if (askPrimaryToActivate(kConnectAttempts)) {
            reportHandOver(folder);
            return Role::handedOver;
        }
        qCWarning(logUi).noquote()
            << "another launcher uses the preferences in" << folder
            << "but does not answer (it may run with another XDG_RUNTIME_DIR, or be stuck);"
            << "not starting a second one, which would overwrite its saves";
        return Role::refused;
    case ExclusiveFileLock::Outcome::failed:
        break;
    }
    // Without the lock, only an answer on the socket tells that a launcher runs; no answer means
    // whatever is left there is stale.
    qCWarning(logUi).noquote() << "cannot lock" << lock_.lockPath()
                               << QStringLiteral("(%1);").arg(lock_.errorString())
                               << "a second launcher will only be noticed while it answers";
    if (askPrimaryToActivate(1)) {
        reportHandOver(folder);
        return Role::handedOver;
    }
    listen();
    return Role::primary;
}

void SingleInstanceGuard::listen() {
    // Only one process gets here for these preferences, so a socket file left there belongs to
    // a process that is gone.
    QLocalServer::removeServer(socketPath_);
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_.get(), &QLocalServer::newConnection, this,
            &SingleInstanceGuard::acceptConnections);
    if (!server_->listen(socketPath_)) {
        // Later launches cannot reach us to raise the window, but the lock still keeps them
        // from running alongside; they say so and end.
        qCWarning(logUi).noquote() << "cannot listen for later launches:" << server_->errorString();
    }
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

bool SingleInstanceGuard::askPrimaryToActivate(int attempts) {
    QLocalSocket socket;
    for (int attempt = 0; attempt < attempts; ++attempt) {
        socket.connectToServer(socketPath_);
        if (socket.waitForConnected(kConnectTimeoutMs)) {
            break;
        }
        if (attempt + 1 < attempts) {
            QThread::msleep(kConnectRetryMs);
        }
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
