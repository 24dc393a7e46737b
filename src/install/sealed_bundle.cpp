#include "install/sealed_bundle.h"

#include "core/decoding_error.h"
#include "install/seal_fault.h"

#include <QFile>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>

namespace nimbara {

namespace {

constexpr qint64 kSignatureLimit = 1024 * 1024;

QString sealFile(const QString& bundle, QLatin1StringView file) {
    return bundle.isEmpty() ? QString(file) : bundle + QLatin1Char('/') + file;
}

// How messages name the bundle at `bundle` (relative to the outer one, which is unnamed).
QString prefixOf(const QString& bundle) {
    return bundle.isEmpty() ? QString() : bundle + QStringLiteral(": ");
}

// The real path of `path`, following every symlink; none when it does not resolve.
std::optional<QString> resolved(const QString& path) {
    char buffer[PATH_MAX];
    if (::realpath(QFile::encodeName(path).constData(), buffer) == nullptr)
        return std::nullopt;
    return QFile::decodeName(buffer);
}

SealManifest decoded(const QByteArray& bytes, const QString& where) {
    try {
        return decodeSealManifest(bytes);
    } catch (const DecodingError& error) {
        failSeal(QStringLiteral("%1: %2").arg(where, error.description()));
    }
}

// The part of `all` below `prefix` (keys relative to it), without `skipped`.
template <typename T>
QMap<QString, T> below(const QMap<QString, T>& all, const QString& prefix,
                       const QStringList& skipped = {}) {
    QMap<QString, T> part;
    for (auto it = all.lowerBound(prefix); it != all.cend() && it.key().startsWith(prefix); ++it) {
        if (!skipped.contains(it.key()))
            part.insert(it.key().mid(prefix.size()), it.value());
    }
    return part;
}

template <typename Listed, typename Found>
void requireSameEntries(const QString& bundle, const QMap<QString, Listed>& listed,
                        const QMap<QString, Found>& found, QLatin1StringView what) {
    for (auto it = found.cbegin(); it != found.cend(); ++it) {
        if (!listed.contains(it.key()))
            failSeal(QStringLiteral("%1%2 %3 is not sealed").arg(prefixOf(bundle), what, it.key()));
    }
    for (auto it = listed.cbegin(); it != listed.cend(); ++it) {
        if (!found.contains(it.key()))
            failSeal(
                QStringLiteral("%1sealed %2 %3 is missing").arg(prefixOf(bundle), what, it.key()));
    }
}

// Every symlink is listed with its target and resolves inside the bundle.
void requireSymlinks(const QString& root, const QString& bundle, const SealManifest& manifest,
                     const QMap<QString, QString>& found) {
    const QString bundleFolder = bundle.isEmpty() ? root : root + QLatin1Char('/') + bundle;
    const std::optional<QString> inside = resolved(bundleFolder);
    if (!inside)
        failSeal(QStringLiteral("%1 does not resolve").arg(bundleFolder));
    for (auto it = found.cbegin(); it != found.cend(); ++it) {
        if (manifest.symlinks.value(it.key()) != it.value())
            failSeal(
                QStringLiteral("%1symlink %2 has another target").arg(prefixOf(bundle), it.key()));
        const std::optional<QString> target = resolved(bundleFolder + QLatin1Char('/') + it.key());
        if (!target || (*target != *inside && !target->startsWith(*inside + QLatin1Char('/'))))
            failSeal(QStringLiteral("%1symlink %2 does not resolve inside the bundle")
                         .arg(prefixOf(bundle), it.key()));
    }
}

void requireHashes(const QString& bundle, const SealManifest& manifest,
                   const QMap<QString, TreeFile>& found) {
    for (auto it = found.cbegin(); it != found.cend(); ++it) {
        const SealedFile& sealed = manifest.files[it.key()];
        if (sealed.sha256 != it->sha256)
            failSeal(QStringLiteral("%1%2 was changed").arg(prefixOf(bundle), it.key()));
        if (sealed.executable != it->executable)
            failSeal(
                QStringLiteral("%1%2 has another execute bit").arg(prefixOf(bundle), it.key()));
    }
}

// The seal of the nested bundle `bundle` (a folder relative to `root`), whose files `tree` holds
// hashed, with its seal files' contents kept.
void verifyNested(const QString& root, const BundleTree& tree, const QString& bundle) {
    const QString manifestPath = sealFile(bundle, kSealManifestPath);
    const QString signaturePath = sealFile(bundle, kSealSignaturePath);
    if (!tree.files.contains(manifestPath) || !tree.files.contains(signaturePath))
        failSeal(QStringLiteral("%1the seal is incomplete").arg(prefixOf(bundle)));
    const QByteArray& manifestBytes = tree.files[manifestPath].contents;
    if (tree.files[signaturePath].contents.size() > kSignatureLimit)
        failSeal(QStringLiteral("%1signature.p7s is too large").arg(prefixOf(bundle)));
    SealSignature::verify(tree.files[signaturePath].contents, manifestBytes);
    const SealManifest manifest = decoded(manifestBytes, manifestPath);

    const QString prefix = bundle + QLatin1Char('/');
    const QMap<QString, TreeFile> files = below(tree.files, prefix, {manifestPath, signaturePath});
    const QMap<QString, QString> symlinks = below(tree.symlinks, prefix);
    requireSameEntries(bundle, manifest.files, files, QLatin1StringView("file"));
    requireSameEntries(bundle, manifest.symlinks, symlinks, QLatin1StringView("symlink"));
    requireSymlinks(root, bundle, manifest, symlinks);
    requireHashes(bundle, manifest, files);
}

} // namespace

SealedBundle verifySealedBundle(const QString& root) {
    struct stat info {};
    const QString sealFolder = root + QLatin1Char('/') + kSealFolder;
    if (::lstat(QFile::encodeName(sealFolder).constData(), &info) != 0 || !S_ISDIR(info.st_mode))
        failSeal(QStringLiteral("the bundle has no seal"));
    // The manifest is read once: the signature is checked over these bytes and they are parsed.
    const QByteArray manifestBytes =
        readSealFile(root + QLatin1Char('/') + kSealManifestPath, kKeptFileLimit);
    const QByteArray signatureBytes =
        readSealFile(root + QLatin1Char('/') + kSealSignaturePath, kSignatureLimit);
    SealSignature signature = SealSignature::verify(signatureBytes, manifestBytes);
    SealManifest manifest = decoded(manifestBytes, kSealManifestPath);

    BundleTree tree = scanBundleTree(root);
    tree.files.remove(kSealManifestPath);
    tree.files.remove(kSealSignaturePath);
    // Everything that needs no file contents first: listing, then symlinks.
    requireSameEntries(QString(), manifest.files, tree.files, QLatin1StringView("file"));
    requireSameEntries(QString(), manifest.symlinks, tree.symlinks, QLatin1StringView("symlink"));
    requireSymlinks(root, QString(), manifest, tree.symlinks);

    QStringList kept;
    for (const QString& nested : tree.nestedBundles)
        kept << sealFile(nested, kSealManifestPath) << sealFile(nested, kSealSignaturePath);
    hashBundleTree(root, tree, kept);
    requireHashes(QString(), manifest, tree.files);
    for (const QString& nested : tree.nestedBundles)
        verifyNested(root, tree, nested);
    return {std::move(signature), std::move(manifest)};
}

SealManifest describeBundle(const QString& root, const QString& identifier) {
    BundleTree tree = scanBundleTree(root);
    tree.files.remove(kSealManifestPath);
    tree.files.remove(kSealSignaturePath);
    hashBundleTree(root, tree);
    SealManifest manifest;
    manifest.identifier = identifier;
    for (auto it = tree.files.cbegin(); it != tree.files.cend(); ++it)
        manifest.files.insert(it.key(), {it->sha256, it->executable});
    manifest.symlinks = tree.symlinks;
    return manifest;
}

} // namespace nimbara
