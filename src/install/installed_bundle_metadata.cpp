#include "install/installed_bundle_metadata.h"

#include "install/installed_code_validation_error.h"
#include "platform/info_plist.h"

namespace nimbara {

namespace {

// The value under `key` when it is a non-empty string.
std::optional<QString> nonEmptyString(const QVariantMap& info, const QString& key) {
    const QVariant value = info.value(key);
    if (value.typeId() != QMetaType::QString || value.toString().isEmpty()) {
        return std::nullopt;
    }
    return value.toString();
}

} // namespace

InstalledBundleMetadata loadInstalledBundleMetadata(const QUrl& bundle) {
    using Case = InstalledCodeValidationError::Case;
    if (!bundle.isLocalFile()) {
        throw InstalledCodeValidationError(Case::unreadableBundle);
    }
    const std::optional<QVariantMap> info = readInfoPlist(infoPlistPath(bundle.toLocalFile()));
    if (!info) {
        throw InstalledCodeValidationError(Case::unreadableBundle);
    }
    const std::optional<QString> identifier =
        nonEmptyString(*info, QStringLiteral("CFBundleIdentifier"));
    const std::optional<QString> version =
        nonEmptyString(*info, QStringLiteral("CFBundleShortVersionString"));
    if (!identifier || !version) {
        throw InstalledCodeValidationError(Case::unreadableBundle);
    }
    return {*identifier, *version};
}

} // namespace nimbara
