#pragma once

#include "core/error.h"

#include <QString>

namespace nimbara {

// A JSON document that does not have the expected shape. `keyPath` names the failing value
// (e.g. "apps[2].status"; empty for the top level); the description is
// "<keyPath>: <message>", or just the message at the top level.
class DecodingError : public Error {
public:
    enum class Kind { dataCorrupted, keyNotFound, valueNotFound, typeMismatch };

    DecodingError(Kind kind, QString keyPath, QString message);

    Kind kind() const noexcept { return kind_; }
    const QString& keyPath() const noexcept { return keyPath_; }
    const QString& message() const noexcept { return message_; }

private:
    Kind kind_;
    QString keyPath_;
    QString message_;
};

} // namespace nimbara
