#include "platform/error.h"

namespace nimbara {

Error::Error(QString description, QString rendering)
    : description_(std::move(description)), rendering_(std::move(rendering)),
      utf8_(description_.toUtf8()) {}

NetworkError::NetworkError(const QString& message)
    : Error(message, QStringLiteral("NetworkError(%1)").arg(renderedString(message))) {}

FileError::FileError(const QString& message)
    : Error(message, QStringLiteral("FileError(%1)").arg(renderedString(message))) {}

ProcessError::ProcessError(const QString& message)
    : Error(message, QStringLiteral("ProcessError(%1)").arg(renderedString(message))) {}

QString renderedString(const QString& text) {
    QString escaped = text;
    escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    escaped.replace(QLatin1Char('"'), QLatin1String("\\\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

} // namespace nimbara
