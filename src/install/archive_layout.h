#pragma once

#include <QString>

namespace nimbara {

// Finds the one app bundle at the top level of an unpacked archive and returns its path.
// Hidden entries are skipped and other top-level entries (such as an archiver's resource-fork
// folder) are ignored; a bundle is any entry named *.app (case-sensitive). Two or more at the
// top level, or none there but one deeper down, fail with AppInstallerError
// unexpectedArchiveLayout; none anywhere with appBundleNotFound. A folder that cannot be listed
// throws FileError. Blocks on the disk.
QString findExtractedApp(const QString& extractionFolder);

} // namespace nimbara
