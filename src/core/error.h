#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

namespace nimbara {

// Base of every error the system raises. `description()` is the text a user may read;
// `rendering()` names the error's kind and payload (for event reasons and error reports),
// for example `AppInstallerError.checksumMismatch(expected: "ab…", actual: "cd…")`.
class Error : public std::exception {
public:
    Error(QString description, QString rendering);

    const QString& description() const noexcept { return description_; }
    const QString& rendering() const noexcept { return rendering_; }
    const char* what() const noexcept override { return utf8_.constData(); }

private:
    QString description_;
    QString rendering_;
    QByteArray utf8_;
};

// A failure of the network layer, carrying the platform's own message.
class NetworkError : public Error {
public:
    explicit NetworkError(const QString& message);
};

// A failure of a file operation, carrying the platform's own message.
class FileError : public Error {
public:
    explicit FileError(const QString& message);
};

// A failure to start or run a child process, carrying the platform's own message.
class ProcessError : public Error {
public:
    explicit ProcessError(const QString& message);
};

// The readable description of any error: a nimbara::Error's description, else its what().
QString errorDescription(const std::exception& error);

// The kind and payload of any error, for event reasons and reports: a nimbara::Error's
// rendering, else "<type>(\"<what>\")".
QString errorRendering(const std::exception& error);

// Quotes a text the way renderings show string payloads: "text" with " and \ escaped.
QString renderedString(const QString& text);

} // namespace nimbara
