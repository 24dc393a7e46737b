#pragma once

#include <QFile>
#include <QMutex>
#include <QString>

namespace nimbara {

// The launcher's log file is moved aside once it would grow past this size, so the log never
// takes more than twice this on disk however long the launcher runs. A megabyte holds many
// thousands of lines: days of ordinary use.
inline constexpr qint64 logFileCapBytes = 1024 * 1024;

// $XDG_STATE_HOME/nimbara/nimbara.log (~/.local/state when the variable is unset).
QString defaultLogFilePath();

// A size-capped log file: lines are appended to `path`; a line that would take the file past
// `capBytes` first moves the file to "<path>.1" (replacing an older one) and starts it anew.
// Safe to use from any thread. A file that cannot be opened is reported once on stderr and
// then left alone; appending goes on without it.
class LogFile {
public:
    LogFile(QString path, qint64 capBytes);

    const QString& path() const { return path_; }
    void append(const QByteArray& line); // `line` ends with a newline

private:
    bool openLocked(QIODevice::OpenMode mode);
    void rotateLocked();

    QMutex mutex_;
    QString path_;
    qint64 capBytes_;
    QFile file_;
    bool failed_ = false;
};

// Installs the process's message handler: every Qt message (from any thread) is appended to a
// LogFile at `path` and, when `echoToStandardError`, written to stderr. Only the entry points
// call this: the launcher echoes, nimbara-cli keeps stderr for what it says to its user.
void installMessageLog(const QString& path = defaultLogFilePath(),
                       qint64 capBytes = logFileCapBytes, bool echoToStandardError = true);

// Puts back the handler that was in place before installMessageLog().
void removeMessageLog();

} // namespace nimbara
