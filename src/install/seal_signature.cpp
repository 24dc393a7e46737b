#include "install/seal_signature.h"

#include "install/openssl_handles.h"
#include "install/seal_fault.h"

#include <openssl/bio.h>
#include <openssl/cms.h>
#include <openssl/err.h>
#include <openssl/objects.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509_vfy.h>

namespace nimbara {

namespace {

using Case = InstalledCodeValidationError::Case;

struct CertificateStackFree {
    void operator()(STACK_OF(X509) * stack) const { sk_X509_pop_free(stack, X509_free); }
};
using OwnedCertificates = std::unique_ptr<STACK_OF(X509), CertificateStackFree>;

// The library's own reason for the last failure, for the detail of a fault.
QString openSslReason() {
    const unsigned long code = ERR_get_error();
    ERR_clear_error();
    if (code == 0)
        return QStringLiteral("no reason given");
    char text[256];
    ERR_error_string_n(code, text, sizeof text);
    return QString::fromUtf8(text);
}

[[noreturn]] void fail(Case kind, const QString& detail) {
    ERR_clear_error();
    throw SealFault(kind, detail);
}

OwnedX509 certificateFromDer(const QByteArray& der) {
    const auto* data = reinterpret_cast<const unsigned char*>(der.constData());
    return OwnedX509(d2i_X509(nullptr, &data, long(der.size())));
}

bool hasExtension(X509* certificate, const char* oid) {
    const OwnedObject object(OBJ_txt2obj(oid, 1));
    return object && X509_get_ext_by_OBJ(certificate, object.get(), -1) >= 0;
}

} // namespace

struct SealSignature::State {
    OwnedCms cms;
    OwnedX509 signer;
    OwnedCertificates carried; // every certificate the signature carries
};

SealSignature SealSignature::verify(const QByteArray& der, const QByteArray& content) {
    if (der.isEmpty() || der.size() > INT_MAX || content.size() > INT_MAX)
        fail(Case::invalidSignature, QStringLiteral("signature.p7s is empty or too large"));
    auto state = std::make_shared<State>();
    const OwnedBio input = readingBio(der);
    state->cms.reset(d2i_CMS_bio(input.get(), nullptr));
    if (!state->cms || OBJ_obj2nid(CMS_get0_type(state->cms.get())) != NID_pkcs7_signed)
        fail(Case::invalidSignature,
             QStringLiteral("signature.p7s is not a CMS SignedData: %1").arg(openSslReason()));
    if (CMS_is_detached(state->cms.get()) != 1)
        fail(Case::invalidSignature, QStringLiteral("the signature embeds its content"));
    STACK_OF(CMS_SignerInfo)* infos = CMS_get0_SignerInfos(state->cms.get());
    if (sk_CMS_SignerInfo_num(infos) != 1)
        fail(Case::invalidSignature, QStringLiteral("the signature has %1 signers, not one")
                                         .arg(sk_CMS_SignerInfo_num(infos)));
    X509_ALGOR* digest = nullptr;
    CMS_SignerInfo_get0_algs(sk_CMS_SignerInfo_value(infos, 0), nullptr, nullptr, &digest, nullptr);
    const ASN1_OBJECT* digestObject = nullptr;
    if (digest != nullptr)
        X509_ALGOR_get0(&digestObject, nullptr, nullptr, digest);
    if (digestObject == nullptr || OBJ_obj2nid(digestObject) != NID_sha256)
        fail(Case::invalidSignature, QStringLiteral("the signature's digest is not SHA-256"));

    // This step proves that the manifest is signed by the key of the certificate the signature
    // carries; it deliberately does not judge that certificate (no store, no chain check), so a
    // well-formed signature from an untrusted hierarchy is told apart from a broken one.
    // requireDeveloperID builds and checks the signer's chain against the pinned roots alone.
    // CMS_BINARY: the detached bytes are hashed exactly as they are (no line-end rewriting).
    const OwnedBio detached = readingBio(content);
    if (CMS_verify(state->cms.get(), nullptr, nullptr, detached.get(), nullptr,
                   CMS_BINARY | CMS_NO_SIGNER_CERT_VERIFY) != 1)
        fail(Case::invalidSignature,
             QStringLiteral("the signature does not verify: %1").arg(openSslReason()));

    STACK_OF(X509)* signers = CMS_get0_signers(state->cms.get());
    if (sk_X509_num(signers) != 1) {
        sk_X509_free(signers);
        fail(Case::invalidSignature, QStringLiteral("the signer's certificate is missing"));
    }
    X509* signer = sk_X509_value(signers, 0);
    X509_up_ref(signer);
    state->signer.reset(signer);
    sk_X509_free(signers);
    state->carried.reset(CMS_get1_certs(state->cms.get()));
    return SealSignature(std::move(state));
}

void SealSignature::requireDeveloperID(const QList<QByteArray>& anchors) const {
    // Only the pinned roots are trusted: no default certificate paths, and no partial chains
    // (they would make any certificate in the store an anchor). Dates are not judged: a
    // bundle stays valid after its signing certificate has expired, as a timestamped
    // signature does.
    const OwnedStore store(X509_STORE_new());
    if (!store)
        fail(Case::notDeveloperIDLeaf, openSslReason());
    for (const QByteArray& der : anchors) {
        const OwnedX509 anchor = certificateFromDer(der);
        if (!anchor || X509_STORE_add_cert(store.get(), anchor.get()) != 1)
            fail(Case::notDeveloperIDLeaf,
                 QStringLiteral("a pinned root is unusable: %1").arg(openSslReason()));
    }
    X509_STORE_set_flags(store.get(), X509_V_FLAG_NO_CHECK_TIME);

    const OwnedStoreContext context(X509_STORE_CTX_new());
    if (!context || X509_STORE_CTX_init(context.get(), store.get(), state_->signer.get(),
                                        state_->carried.get()) != 1)
        fail(Case::notDeveloperIDLeaf, openSslReason());
    if (X509_verify_cert(context.get()) != 1)
        fail(Case::notDeveloperIDLeaf,
             QStringLiteral("the signer does not chain to a pinned root: %1")
                 .arg(QString::fromUtf8(
                     X509_verify_cert_error_string(X509_STORE_CTX_get_error(context.get())))));
    STACK_OF(X509)* chain = X509_STORE_CTX_get0_chain(context.get());
    // Leaf, marked intermediate, root: the certificate above the leaf is never the root itself.
    if (sk_X509_num(chain) < 3)
        fail(Case::notDeveloperIDLeaf, QStringLiteral("no intermediate between signer and root"));
    if (!hasExtension(sk_X509_value(chain, 1), kDeveloperIdAuthorityOid))
        fail(Case::notDeveloperIDLeaf,
             QStringLiteral("the signer's issuer is not a Developer ID authority"));
    if (!hasExtension(sk_X509_value(chain, 0), kDeveloperIdApplicationOid))
        fail(Case::notDeveloperIDLeaf,
             QStringLiteral("the signer is not a Developer ID application certificate"));
}

void SealSignature::requireTeam(const QString& teamID) const {
    const X509_NAME* subject = X509_get_subject_name(state_->signer.get());
    const int first = X509_NAME_get_index_by_NID(subject, NID_organizationalUnitName, -1);
    if (first < 0 || X509_NAME_get_index_by_NID(subject, NID_organizationalUnitName, first) >= 0)
        fail(Case::teamIDMismatch, QStringLiteral("the signer has not exactly one team"));
    const ASN1_STRING* value = X509_NAME_ENTRY_get_data(X509_NAME_get_entry(subject, first));
    unsigned char* utf8 = nullptr;
    const int length = ASN1_STRING_to_UTF8(&utf8, value);
    if (length < 0)
        fail(Case::teamIDMismatch, QStringLiteral("the signer's team is unreadable"));
    const QByteArray team(reinterpret_cast<const char*>(utf8), length);
    OPENSSL_free(utf8);
    if (team != teamID.toUtf8())
        fail(Case::teamIDMismatch,
             QStringLiteral("signed by team %1, not %2").arg(QString::fromUtf8(team), teamID));
}

QList<QByteArray> certificatesFromPem(const QByteArray& pem) {
    QList<QByteArray> certificates;
    if (pem.size() > INT_MAX)
        fail(Case::notDeveloperIDLeaf, QStringLiteral("the PEM text is too large"));
    const OwnedBio input = readingBio(pem);
    for (;;) {
        OwnedX509 certificate(PEM_read_bio_X509(input.get(), nullptr, nullptr, nullptr));
        if (!certificate) {
            const unsigned long code = ERR_peek_last_error();
            if (ERR_GET_REASON(code) == PEM_R_NO_START_LINE) {
                ERR_clear_error();
                return certificates;
            }
            fail(Case::notDeveloperIDLeaf,
                 QStringLiteral("a certificate does not parse: %1").arg(openSslReason()));
        }
        unsigned char* der = nullptr;
        const int length = i2d_X509(certificate.get(), &der);
        if (length <= 0)
            fail(Case::notDeveloperIDLeaf, openSslReason());
        certificates.append(QByteArray(reinterpret_cast<const char*>(der), length));
        OPENSSL_free(der);
    }
}

} // namespace nimbara
