#pragma once

#include "core/error.h"
#include "install/installed_code_validation_error.h"

namespace nimbara {

// Why a bundle failed one of the signature checks, in detail (for logs and nimbara-codesign);
// `kind()` is the validation error it amounts to.
class SealFault : public Error {
public:
    SealFault(InstalledCodeValidationError::Case kind, const QString& detail)
        : Error(detail, QStringLiteral("SealFault(%1)").arg(renderedString(detail))), kind_(kind) {}

    InstalledCodeValidationError::Case kind() const noexcept { return kind_; }

private:
    InstalledCodeValidationError::Case kind_;
};

// A fault of the bundle's seal: the signature is missing or invalid.
[[noreturn]] inline void failSeal(const QString& detail) {
    throw SealFault(InstalledCodeValidationError::Case::invalidSignature, detail);
}

} // namespace nimbara
