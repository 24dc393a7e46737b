#include "core/decoding_error.h"

namespace nimbara {

namespace {

QString kindName(DecodingError::Kind kind) {
    switch (kind) {
    case DecodingError::Kind::dataCorrupted:
        return QStringLiteral("dataCorrupted");
    case DecodingError::Kind::keyNotFound:
        return QStringLiteral("keyNotFound");
    case DecodingError::Kind::valueNotFound:
        return QStringLiteral("valueNotFound");
    case DecodingError::Kind::typeMismatch:
        return QStringLiteral("typeMismatch");
    }
    return {};
}

QString describe(const QString& keyPath, const QString& message) {
    return keyPath.isEmpty() ? message : keyPath + QStringLiteral(": ") + message;
}

} // namespace

DecodingError::DecodingError(Kind kind, QString keyPath, QString message)
    : Error(describe(keyPath, message),
            QStringLiteral("DecodingError.%1(path: %2, %3)")
                .arg(kindName(kind), renderedString(keyPath), renderedString(message))),
      kind_(kind), keyPath_(std::move(keyPath)), message_(std::move(message)) {}

} // namespace nimbara
