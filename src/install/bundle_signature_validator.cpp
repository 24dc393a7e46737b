#include "install/bundle_signature_validator.h"

#include "core/logging.h"
#include "install/installed_bundle_metadata.h"
#include "install/installed_code_validation_error.h"
#include "install/seal_fault.h"
#include "install/sealed_bundle.h"

#include <QFile>
#include <sys/stat.h>

namespace nimbara {

namespace {

using Case = InstalledCodeValidationError::Case;

// The pinned roots, or none when the PEM text does not hold a usable certificate.
QList<QByteArray> anchorsOf(const QByteArray& pem) {
    try {
        return certificatesFromPem(pem);
    } catch (const SealFault& fault) {
        qCWarning(logInstall).noquote() << "the trust anchors are unusable:" << fault.description();
        return {};
    }
}

} // namespace

BundleSignatureValidator::BundleSignatureValidator(QString expectedTeamID,
                                                   const QByteArray& trustAnchorsPem)
    : expectedTeamID_(std::move(expectedTeamID)), anchors_(anchorsOf(trustAnchorsPem)) {}

bool BundleSignatureValidator::isUsableTeamID(QStringView teamID) {
    if (teamID.isEmpty())
        return false;
    for (const char32_t c : teamID.toUcs4()) {
        if (!QChar::isLetterOrNumber(c))
            return false;
    }
    return true;
}

void BundleSignatureValidator::validate(const QUrl& appAt, const QString& expectedBundleID,
                                        const QString& expectedVersion) const {
    try {
        check(appAt, expectedBundleID, expectedVersion);
    } catch (const InstalledCodeValidationError&) {
        throw;
    } catch (const SealFault& fault) {
        qCWarning(logInstall).noquote()
            << appAt.toLocalFile() << "fails its signature check:" << fault.description();
        throw InstalledCodeValidationError(fault.kind());
    } catch (const std::exception& error) {
        // Only the checks of the seal can fail otherwise (running out of memory, say).
        qCWarning(logInstall).noquote()
            << appAt.toLocalFile() << "could not be checked:" << errorRendering(error);
        throw InstalledCodeValidationError(Case::invalidSignature);
    }
}

void BundleSignatureValidator::check(const QUrl& appAt, const QString& expectedBundleID,
                                     const QString& expectedVersion) const {
    if (!isUsableTeamID(expectedTeamID_) || anchors_.isEmpty())
        throw InstalledCodeValidationError(Case::missingTeamIDConfiguration);

    const InstalledBundleMetadata metadata = loadInstalledBundleMetadata(appAt);
    if (metadata.bundleIdentifier != expectedBundleID)
        throw InstalledCodeValidationError(Case::bundleIdentifierMismatch);
    if (metadata.shortVersion != expectedVersion)
        throw InstalledCodeValidationError(Case::bundleVersionMismatch);

    const QString root = appAt.toLocalFile();
    struct stat info {};
    if (::stat(QFile::encodeName(root).constData(), &info) != 0 || !S_ISDIR(info.st_mode))
        throw InstalledCodeValidationError(Case::unreadableBundle);

    const SealedBundle sealed = verifySealedBundle(root);
    if (sealed.manifest.identifier != expectedBundleID)
        throw InstalledCodeValidationError(Case::signingIdentifierMismatch);
    sealed.signature.requireDeveloperID(anchors_);
    sealed.signature.requireTeam(expectedTeamID_);
}

} // namespace nimbara
