#include "install/installed_code_validation_error.h"

#include "core/enum_names.h"
#include "platform/preferred_languages.h"
#include "text/nimbara_copy.h"

namespace nimbara {

namespace {

using Case = InstalledCodeValidationError::Case;

constexpr EnumNames<Case, 8> kNames(
    {QLatin1StringView("missingTeamIDConfiguration"), QLatin1StringView("unreadableBundle"),
     QLatin1StringView("bundleIdentifierMismatch"), QLatin1StringView("bundleVersionMismatch"),
     QLatin1StringView("invalidSignature"), QLatin1StringView("signingIdentifierMismatch"),
     QLatin1StringView("notDeveloperIDLeaf"), QLatin1StringView("teamIDMismatch")});

CopyKey keyOf(Case kind) {
    switch (kind) {
    case Case::missingTeamIDConfiguration:
        return CopyKey::codeValidationMissingTeamID;
    case Case::unreadableBundle:
        return CopyKey::codeValidationUnreadableBundle;
    case Case::bundleIdentifierMismatch:
        return CopyKey::codeValidationBundleIdentifierMismatch;
    case Case::bundleVersionMismatch:
        return CopyKey::codeValidationBundleVersionMismatch;
    case Case::invalidSignature:
        return CopyKey::codeValidationInvalidSignature;
    case Case::signingIdentifierMismatch:
        return CopyKey::codeValidationSigningIdentifierMismatch;
    case Case::notDeveloperIDLeaf:
        return CopyKey::codeValidationNotDeveloperID;
    case Case::teamIDMismatch:
        return CopyKey::codeValidationTeamMismatch;
    }
    return CopyKey::codeValidationInvalidSignature;
}

} // namespace

InstalledCodeValidationError::InstalledCodeValidationError(Case kind)
    : Error(NimbaraCopy::text(keyOf(kind), systemLocale()),
            QStringLiteral("InstalledCodeValidationError.") + kNames.rawValue(kind)),
      kind_(kind) {}

QString InstalledCodeValidationError::caseName() const {
    return kNames.rawValue(kind_);
}

} // namespace nimbara
