#pragma once

#include "core/error.h"

namespace nimbara {

// Why an app bundle is not trusted. The description is the text of the user's first preferred
// language.
class InstalledCodeValidationError : public Error {
public:
    enum class Case {
        missingTeamIDConfiguration,
        unreadableBundle,
        bundleIdentifierMismatch,
        bundleVersionMismatch,
        invalidSignature,
        signingIdentifierMismatch,
        notDeveloperIDLeaf,
        teamIDMismatch,
    };

    explicit InstalledCodeValidationError(Case kind);

    Case kind() const noexcept { return kind_; }
    // The case's name, e.g. "invalidSignature".
    QString caseName() const;

private:
    Case kind_;
};

} // namespace nimbara
