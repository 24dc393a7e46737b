#pragma once

#include "contracts/collaborator_records.h"

#include <QUrl>

namespace nimbara {

// Reads CFBundleIdentifier and CFBundleShortVersionString from `bundle`/Contents/Info.plist
// (XML or binary property list; see readInfoPlist). Both must be non-empty strings; any failure
// (not a local file URL, missing or unreadable file, parse error, top level not a dictionary,
// missing, empty or non-string value) throws InstalledCodeValidationError(unreadableBundle).
InstalledBundleMetadata loadInstalledBundleMetadata(const QUrl& bundle);

} // namespace nimbara
