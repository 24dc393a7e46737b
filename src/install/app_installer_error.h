#pragma once

#include "core/error.h"

namespace nimbara {

// Why the installer could not turn a catalog entry into an installed app. Every description is
// a fixed English text except unexpectedArchiveLayout's, which is in the user's first
// preferred language.
class AppInstallerError : public Error {
public:
    enum class Case {
        checksumMismatch,
        unsupportedMacOS,
        missingDownloadURL,
        invalidReleaseMetadata,
        unsupportedDownloadScheme,
        downloadFailed,
        extractionFailed,
        appBundleNotFound,
        unexpectedArchiveLayout,
        bundleIdentifierMismatch,
    };

    // "Checksum mismatch. Expected <expected>, got <actual>."
    static AppInstallerError checksumMismatch(const QString& expected, const QString& actual);
    // "This app requires system version <minimum> or newer.", `minimum` as the catalog wrote it.
    static AppInstallerError unsupportedMacOS(const QString& minimum);
    // The cases without a payload (any but the two above).
    static AppInstallerError of(Case kind);

    Case kind() const noexcept { return kind_; }

private:
    AppInstallerError(Case kind, const QString& description, const QString& rendering)
        : Error(description, rendering), kind_(kind) {}

    Case kind_;
};

} // namespace nimbara
