#include "code_signing.h"

#include "install/openssl_handles.h"
#include "install/seal_fault.h"
#include "install/seal_manifest.h"
#include "install/seal_signature.h"
#include "install/sealed_bundle.h"

#include <QDir>
#include <QSaveFile>
#include <openssl/err.h>
#include <openssl/pem.h>

namespace nimbara::codesign {

namespace {

QString openSslReason() {
    const unsigned long code = ERR_get_error();
    ERR_clear_error();
    char text[256];
    ERR_error_string_n(code, text, sizeof text);
    return QString::fromUtf8(text);
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw CodeSigningError(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
}

} // namespace

QByteArray signDetached(const QByteArray& content, const SigningIdentity& identity) {
    const OwnedBio keyBio = readingBio(identity.privateKeyPem);
    const OwnedKey key(PEM_read_bio_PrivateKey(keyBio.get(), nullptr, nullptr, nullptr));
    const OwnedBio certificateBio = readingBio(identity.certificatePem);
    const OwnedX509 certificate(PEM_read_bio_X509(certificateBio.get(), nullptr, nullptr, nullptr));
    if (!key || !certificate)
        throw CodeSigningError(
            QStringLiteral("unreadable signing key or certificate: %1").arg(openSslReason()));

    constexpr unsigned flags = CMS_DETACHED | CMS_BINARY | CMS_PARTIAL;
    const OwnedCms cms(CMS_sign(nullptr, nullptr, nullptr, nullptr, flags));
    if (!cms || !CMS_add1_signer(cms.get(), certificate.get(), key.get(), EVP_sha256(), flags))
        throw CodeSigningError(QStringLiteral("cannot sign: %1").arg(openSslReason()));
    QList<QByteArray> chain;
    try {
        chain = certificatesFromPem(identity.chainPem);
    } catch (const SealFault& fault) {
        throw CodeSigningError(QStringLiteral("unreadable chain: %1").arg(fault.description()));
    }
    for (const QByteArray& der : chain) {
        const auto* data = reinterpret_cast<const unsigned char*>(der.constData());
        const OwnedX509 link(d2i_X509(nullptr, &data, long(der.size())));
        if (!link || CMS_add1_cert(cms.get(), link.get()) != 1)
            throw CodeSigningError(
                QStringLiteral("bad chain certificate: %1").arg(openSslReason()));
    }
    const OwnedBio data = readingBio(content);
    if (CMS_final(cms.get(), data.get(), nullptr, flags) != 1)
        throw CodeSigningError(QStringLiteral("cannot sign: %1").arg(openSslReason()));
    const OwnedBio out(BIO_new(BIO_s_mem()));
    if (i2d_CMS_bio(out.get(), cms.get()) != 1)
        throw CodeSigningError(QStringLiteral("cannot encode: %1").arg(openSslReason()));
    return writtenBytes(out.get());
}

void signBundle(const QString& bundle, const QString& identifier, const SigningIdentity& identity) {
    QByteArray manifest;
    try {
        manifest = encodeSealManifest(describeBundle(bundle, identifier));
    } catch (const SealFault& fault) {
        throw CodeSigningError(
            QStringLiteral("cannot seal %1: %2").arg(bundle, fault.description()));
    }
    const QByteArray signature = signDetached(manifest, identity);
    const QString folder = bundle + QLatin1Char('/') + kSealFolder;
    if (!QDir().mkpath(folder))
        throw CodeSigningError(QStringLiteral("cannot create %1").arg(folder));
    writeFile(bundle + QLatin1Char('/') + kSealManifestPath, manifest);
    writeFile(bundle + QLatin1Char('/') + kSealSignaturePath, signature);
}

} // namespace nimbara::codesign
