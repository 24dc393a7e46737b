#include "platform/log_file.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QMutexLocker>
#include <atomic>
#include <cstdio>
#include <memory>

namespace nimbara {

namespace {

QString stateHome() {
    const QString configured = qEnvironmentVariable("XDG_STATE_HOME");
    // Relative paths are invalid in the XDG base directory rules and are ignored.
    if (!configured.isEmpty() && QDir::isAbsolutePath(configured)) {
        return configured;
    }
    return QDir::homePath() + QStringLiteral("/.local/state");
}

const char* levelName(QtMsgType type) {
    switch (type) {
    case QtDebugMsg:
        return "debug";
    case QtInfoMsg:
        return "info";
    case QtWarningMsg:
        return "warning";
    case QtCriticalMsg:
        return "critical";
    case QtFatalMsg:
        return "fatal";
    }
    return "message";
}

// The handler's state. The log file is never freed while the handler may run: a replaced
// one is kept until the process ends.
struct MessageLog {
    QMutex mutex;
    QtMessageHandler previous = nullptr;
    bool installed = false;
    std::atomic<bool> echo = true;
    std::unique_ptr<LogFile> file;
    std::vector<std::unique_ptr<LogFile>> retired;
};

MessageLog& messageLog() {
    static MessageLog log;
    return log;
}

// Set while this thread is inside the handler, so that a message raised by the handler itself
// goes to stderr only instead of locking the file again.
thread_local bool insideHandler = false;

void handleMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    MessageLog& log = messageLog();
    if (log.echo || insideHandler || type == QtFatalMsg) {
        const QByteArray formatted = qFormatLogMessage(type, context, message).toLocal8Bit();
        std::fprintf(stderr, "%s\n", formatted.constData());
        std::fflush(stderr);
    }
    if (insideHandler) {
        return;
    }
    insideHandler = true;
    const QByteArray line =
        QDateTime::currentDateTime().toString(Qt::ISODateWithMs).toUtf8() + ' ' + levelName(type) +
        ' ' + (context.category ? context.category : "default") + ": " + message.toUtf8() + '\n';
    LogFile* file = nullptr;
    {
        QMutexLocker lock(&log.mutex);
        file = log.file.get();
    }
    if (file) {
        file->append(line);
    }
    insideHandler = false;
}

} // namespace

QString defaultLogFilePath() {
    return stateHome() + QStringLiteral("/nimbara/nimbara.log");
}

LogFile::LogFile(QString path, qint64 capBytes) : path_(std::move(path)), capBytes_(capBytes) {}

bool LogFile::openLocked(QIODevice::OpenMode mode) {
    file_.setFileName(path_);
    QDir().mkpath(QFileInfo(path_).absolutePath());
    if (file_.open(mode | QIODevice::WriteOnly)) {
        return true;
    }
    if (!failed_) {
        // Not through Qt's logging: this runs inside the message handler.
        std::fprintf(stderr, "nimbara: cannot write the log file %s: %s\n", qPrintable(path_),
                     qPrintable(file_.errorString()));
    }
    failed_ = true;
    return false;
}

void LogFile::rotateLocked() {
    file_.close();
    const QString previous = path_ + QStringLiteral(".1");
    QFile::remove(previous);
    QFile::rename(path_, previous);
    openLocked(QIODevice::Truncate);
}

void LogFile::append(const QByteArray& line) {
    QMutexLocker lock(&mutex_);
    if (failed_) {
        return;
    }
    if (!file_.isOpen() && !openLocked(QIODevice::Append)) {
        return;
    }
    if (file_.size() > 0 && file_.size() + line.size() > capBytes_) {
        rotateLocked();
        if (failed_) {
            return;
        }
    }
    file_.write(line);
    file_.flush();
}

void installMessageLog(const QString& path, qint64 capBytes, bool echoToStandardError) {
    MessageLog& log = messageLog();
    log.echo = echoToStandardError;
    {
        QMutexLocker lock(&log.mutex);
        if (log.file) {
            log.retired.push_back(std::move(log.file));
        }
        log.file = std::make_unique<LogFile>(path, capBytes);
        if (log.installed) {
            return;
        }
        log.installed = true;
    }
    log.previous = qInstallMessageHandler(handleMessage);
}

void removeMessageLog() {
    MessageLog& log = messageLog();
    QtMessageHandler previous = nullptr;
    {
        QMutexLocker lock(&log.mutex);
        if (!log.installed) {
            return;
        }
        log.installed = false;
        previous = log.previous;
        if (log.file) {
            log.retired.push_back(std::move(log.file));
        }
    }
    qInstallMessageHandler(previous);
}

} // namespace nimbara
