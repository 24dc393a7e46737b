#pragma once

#include "store/collaborator_records.h"

#include <QUrl>

namespace nimbara {

// Reads CFBundleIdentifier and CFBundleShortVersionString from `bundle`/Contents/Info.plist
// (XML, binary or OpenStep property list). Both must be non-empty strings; any failure throws
// InstalledCodeValidationError(unreadableBundle).
InstalledBundleMetadata loadInstalledBundleMetadata(const QUrl& bundle);

} // namespace nimbara
