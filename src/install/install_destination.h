#pragma once

#include <QString>
#include <QUrl>
#include <optional>

namespace nimbara {

// Throws AppInstallerError bundleIdentifierMismatch unless the bundle at `bundle` carries
// `bundleID` (exact comparison); an unreadable Info.plist counts as a mismatch. Reads the disk.
void checkBundleIdentity(const QString& bundle, const QString& bundleID);

// Where a bundle named `bundleName` (as found in the archive) goes. The recorded location
// `existing` when something is there and it carries `bundleID`; when something else sits
// there (another app, a folder of the user's), it is left alone and the bundle goes to
// `installRoot`/`bundleName` as for a new install, unless that is the very same path, which
// throws FileError. Without anything at `existing`: `installRoot`/`bundleName`. Reads the disk.
QString chooseDestination(const std::optional<QUrl>& existing, const QString& bundleID,
                          const QString& installRoot, const QString& bundleName);

} // namespace nimbara
