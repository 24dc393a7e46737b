#pragma once

#include "catalog/app_manifest_item.h"
#include "platform/operating_system_version.h"

#include <QString>
#include <QUrl>

namespace nimbara {

// What an install needs from a catalog entry once the entry has passed checkRelease.
struct ReleaseToInstall {
    QUrl downloadURL;
    QString expectedDigest; // the catalog's SHA-256, lower-cased
};

// The checks made before anything is written, in this order: a download address
// (missingDownloadURL), a digest and a published release (invalidReleaseMetadata), and a
// minimum system the running one meets (unsupportedMacOS carrying minMacOS as written).
// Throws AppInstallerError.
ReleaseToInstall checkRelease(const AppManifestItem& app, const OperatingSystemVersion& running);

} // namespace nimbara
