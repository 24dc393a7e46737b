#include "core/error.h"

#include <typeinfo>

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

QString errorDescription(const std::exception& error) {
    if (const auto* ours = dynamic_cast<const Error*>(&error)) {
        return ours->description();
    }
    return QString::fromLocal8Bit(error.what());
}

QString errorRendering(const std::exception& error) {
    if (const auto* ours = dynamic_cast<const Error*>(&error)) {
        return ours->rendering();
    }
    return QStringLiteral("%1(%2)").arg(QString::fromLatin1(typeid(error).name()),
                                        renderedString(QString::fromLocal8Bit(error.what())));
}

QString renderedString(const QString& text) {
    QString escaped = text;
    escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    escaped.replace(QLatin1Char('"'), QLatin1String("\\\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

} // namespace nimbara
