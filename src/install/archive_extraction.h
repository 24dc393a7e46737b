#pragma once

#include <QString>

namespace nimbara {

// An archive that unpacks beyond either bound is refused: a release archive is an app bundle
// of at most a few hundred megabytes and some thousands of files, while a crafted archive of a
// few kilobytes can claim terabytes or millions of entries and fill the disk or the inode table.
inline constexpr qint64 defaultMaximumUnpackedBytes = qint64(4) * 1024 * 1024 * 1024; // 4 GiB
inline constexpr qint64 defaultMaximumEntries = 100'000;

struct ExtractionLimits {
    // The sum of the sizes of all regular files, counted as their bytes are written.
    qint64 maximumUnpackedBytes = defaultMaximumUnpackedBytes;
    // Entries of every kind (files, folders, links).
    qint64 maximumEntries = defaultMaximumEntries;
};

// Unpacks the zip archive `archivePath` into the existing folder `destinationFolder`, on the
// calling thread (a worker's: it blocks on the disk for as long as the archive takes).
//
// Regular files, folders and symbolic links are unpacked with their permissions (set-id and
// sticky bits dropped; the owner may always read and write them) and modification times. An
// entry whose name is absolute or contains a ".." component, a name that comes twice, a hard
// link, a device, fifo or socket, an entry written through a symbolic link that an earlier
// entry made, and an archive beyond `limits` are refused. Any failure (also an unreadable
// or damaged archive) is logged with its reason and thrown as AppInstallerError
// extractionFailed; what was unpacked until then stays inside `destinationFolder`, nothing is
// written anywhere else. The working directory of the process is never changed.
void extractArchive(const QString& archivePath, const QString& destinationFolder,
                    const ExtractionLimits& limits = {});

} // namespace nimbara
