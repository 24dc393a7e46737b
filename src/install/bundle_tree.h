#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <sys/types.h>

namespace nimbara {

// One regular file found in a bundle.
struct TreeFile {
    bool executable = false; // the owner's execute bit
    QByteArray sha256;       // 32 raw bytes once hashed
    QByteArray contents;     // kept only for files asked for by hashBundleTree
};

// What a bundle folder holds, by path relative to it ('/'-separated). Symlinks are recorded,
// never followed, and folders are only walked into.
struct BundleTree {
    QMap<QString, TreeFile> files;
    QMap<QString, QString> symlinks; // path -> target as stored in the link
    // Folders named *.app below Contents/ that hold Contents/_CodeSignature/: nested bundles.
    QStringList nestedBundles;
};

// Walks `root` (a folder) without following any symlink and without opening anything that is
// not a folder. Throws SealFault (invalidSignature) for a fifo, device or socket, a name that is
// not UTF-8, or a folder that cannot be read.
BundleTree scanBundleTree(const QString& root);

// Hashes every file of `tree` (SHA-256, streamed in 1 MiB reads, each file read once), in
// parallel on the global thread pool; the files whose paths are in `keep` (at most
// kKeptFileLimit bytes each) also keep their contents. Files are opened without following
// symlinks and without blocking; one that is no longer a regular file throws SealFault.
void hashBundleTree(const QString& root, BundleTree& tree, const QStringList& keep = {});

inline constexpr qint64 kKeptFileLimit = 64 * 1024 * 1024;

// Reads a whole regular file of at most `limit` bytes, opened without following a symlink and
// without blocking. Throws SealFault (invalidSignature) naming `what` when it is missing, not a
// regular file, larger than `limit` or unreadable.
QByteArray readSealFile(const QString& path, qint64 limit);

} // namespace nimbara
