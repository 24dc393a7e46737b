#pragma once

#include <QString>

namespace nimbara::codesign {

// Zips the folder `folder` into `zipPath` as a release archive: the folder itself is the
// archive's top entry (or, without `folderItself`, what it holds are the top entries). Symlinks
// stay symlinks and permission bits are kept, so a sealed bundle unpacks still sealed. Throws
// CodeSigningError.
void zipFolder(const QString& folder, const QString& zipPath, bool folderItself = true);

} // namespace nimbara::codesign
