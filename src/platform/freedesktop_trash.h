#pragma once

#include <QUrl>

namespace nimbara {

// Moves the file or folder at `item` into the user's freedesktop.org Trash ($XDG_DATA_HOME/Trash,
// or the Trash at the top of another file system), with the .trashinfo record from which every
// desktop can restore it. Creates the Trash's `files` and `info` folders first, and checks that
// the item really arrived in a Trash: when it went anywhere else it is moved back where it was.
// Throws FileError with a readable description when the item is not a local file that exists,
// or cannot be moved. Blocks on the file system.
void moveToTrash(const QUrl& item);

} // namespace nimbara
