#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

namespace nimbara {

// One sealed regular file: its SHA-256 and whether its owner may execute it.
struct SealedFile {
    QByteArray sha256; // 32 raw bytes
    bool executable = false;

    friend bool operator==(const SealedFile&, const SealedFile&) = default;
};

// The list of everything a bundle's seal covers (Contents/_CodeSignature/manifest.json): every
// regular file and symlink below the bundle folder, by path relative to it, except the seal's
// own two files.
struct SealManifest {
    QString identifier;
    QMap<QString, SealedFile> files;
    QMap<QString, QString> symlinks; // path -> link target, as stored in the link

    friend bool operator==(const SealManifest&, const SealManifest&) = default;
};

// Where a bundle keeps its seal, relative to the bundle folder.
inline constexpr QLatin1StringView kSealFolder("Contents/_CodeSignature");
inline constexpr QLatin1StringView kSealManifestPath("Contents/_CodeSignature/manifest.json");
inline constexpr QLatin1StringView kSealSignaturePath("Contents/_CodeSignature/signature.p7s");

// True for a path a seal may list: relative, '/'-separated, no empty, "." or ".." component,
// no NUL and no backslash.
bool isSealablePath(QStringView path);

// Strict decoding: a JSON object with "format" 1, a non-empty string "identifier", "files" (path
// -> {"sha256": 64 lower-case hex digits, "executable": Boolean}) and "symlinks" (path -> non-empty
// relative target). Every path must be sealable and appear once, across both lists and without
// duplicate JSON keys anywhere. Throws DecodingError naming the first fault.
SealManifest decodeSealManifest(const QByteArray& bytes);

// The canonical bytes of `manifest` (keys sorted, compact). Decoding them gives `manifest` back.
QByteArray encodeSealManifest(const SealManifest& manifest);

} // namespace nimbara
