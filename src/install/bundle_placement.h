#pragma once

#include "core/cancellation_token.h"

#include <QString>
#include <functional>

namespace nimbara {

// A fresh random UUID in its canonical form: 36 characters, upper-case, hyphenated.
QString canonicalUuid();

// Whether anything (also a dangling symlink) exists at `path`.
bool entryExists(const QString& path);

// Copies the folder `from` to the new path `to`: folders, regular files and symlinks (copied as
// links) with their permission bits and modification times. Anything else, or any failure,
// throws FileError; what was copied until then stays for the caller to remove. A cancel through
// `cancellation`, looked at before each file, throws CancelledError. Blocks on the disk.
void copyBundleTree(const QString& from, const QString& to,
                    const CancellationToken& cancellation = {});

// Renames `from` to `to`, which must not exist, then flushes the folders holding both to disk,
// so that the rename survives a crash. Throws FileError.
void renameDurably(const QString& from, const QString& to);

// Removes `path` (a folder with everything in it, never following a symlink, or a single
// entry); returns false when something is left.
bool removeEntry(const QString& path);

// The points of a swap at which a test may stop the process to see that it recovers.
enum class SwapPoint {
    backupMoved,      // the previous install sits under its backup name
    movedIntoPlace,   // the new copy sits at the destination, not checked yet
    finalCheckPassed, // the new copy passed its last check; the backup is still there
};

// Called on the worker thread that runs the swap, at each point in turn.
using SwapHook = std::function<void(SwapPoint)>;

// The three names of a swap, all in the destination's folder.
struct SwapPaths {
    QString staged;
    QString destination;
    QString backup;
};

// What becomes of the previous install once the new copy is in place.
enum class BackupAfterSwap {
    remove, // removed at once
    keep,   // left under its backup name, for the caller to keep or remove
};

// Puts the checked copy at `paths.staged` in place of whatever is at `paths.destination`:
// moves that to the backup name (a failure leaves it untouched), moves the copy in and runs
// `finalCheck` on it. When either of these last two fails, the destination is removed and the
// backup moved back before the error is rethrown; after a success the backup is removed unless
// `backup` says to keep it. Failures of those clean-ups are logged, never raised. Blocks on the
// disk.
void swapIntoPlace(const SwapPaths& paths, const std::function<void(const QString&)>& finalCheck,
                   const SwapHook& hook = {}, BackupAfterSwap backup = BackupAfterSwap::remove);

} // namespace nimbara
