#include "install/app_installer_error.h"

#include "core/enum_names.h"
#include "platform/preferred_languages.h"
#include "text/nimbara_copy.h"

namespace nimbara {

namespace {

using Case = AppInstallerError::Case;

constexpr EnumNames<Case, 10> kNames(
    {QLatin1StringView("checksumMismatch"), QLatin1StringView("unsupportedMacOS"),
     QLatin1StringView("missingDownloadURL"), QLatin1StringView("invalidReleaseMetadata"),
     QLatin1StringView("unsupportedDownloadScheme"), QLatin1StringView("downloadFailed"),
     QLatin1StringView("extractionFailed"), QLatin1StringView("appBundleNotFound"),
     QLatin1StringView("unexpectedArchiveLayout"), QLatin1StringView("bundleIdentifierMismatch")});

QString renderingOf(Case kind) {
    return QStringLiteral("AppInstallerError.") + kNames.rawValue(kind);
}

QString fixedDescription(Case kind) {
    switch (kind) {
    case Case::missingDownloadURL:
        return QStringLiteral("The catalog does not include a download URL.");
    case Case::invalidReleaseMetadata:
        return QStringLiteral("The release metadata is incomplete.");
    case Case::unsupportedDownloadScheme:
        return QStringLiteral("The download URL must use HTTPS.");
    case Case::downloadFailed:
        return QStringLiteral("The download failed.");
    case Case::extractionFailed:
        return QStringLiteral("The downloaded archive could not be extracted.");
    case Case::appBundleNotFound:
        return QStringLiteral("The archive does not contain an app bundle.");
    case Case::bundleIdentifierMismatch:
        return QStringLiteral("The app bundle does not match the catalog bundle identifier.");
    case Case::unexpectedArchiveLayout:
        return NimbaraCopy::text(CopyKey::errorArchiveLayout, systemLocale());
    case Case::checksumMismatch:
    case Case::unsupportedMacOS:
        break;
    }
    qFatal("AppInstallerError::of is for the cases without a payload");
}

} // namespace

AppInstallerError AppInstallerError::checksumMismatch(const QString& expected,
                                                      const QString& actual) {
    return {Case::checksumMismatch,
            QStringLiteral("Checksum mismatch. Expected %1, got %2.").arg(expected, actual),
            QStringLiteral("%1(expected: %2, actual: %3)")
                .arg(renderingOf(Case::checksumMismatch), renderedString(expected),
                     renderedString(actual))};
}

AppInstallerError AppInstallerError::unsupportedMacOS(const QString& minimum) {
    return {Case::unsupportedMacOS,
            QStringLiteral("This app requires system version %1 or newer.").arg(minimum),
            QStringLiteral("%1(minimum: %2)")
                .arg(renderingOf(Case::unsupportedMacOS), renderedString(minimum))};
}

AppInstallerError AppInstallerError::of(Case kind) {
    return {kind, fixedDescription(kind), renderingOf(kind)};
}

} // namespace nimbara
