#include "support/test_ca.h"

#include <openssl/bio.h>
#include <openssl/cms.h>
#include <openssl/pem.h>
#include <stdexcept>

namespace nimbara::test {

using namespace codesign;

TestCA::TestCA() : hierarchy_(makeDevelopmentHierarchy(team())) {}

const TestCA& TestCA::shared() {
    static const TestCA ca;
    return ca;
}

SigningIdentity TestCA::identity(const IssuedCertificate& leaf) const {
    return {leaf.privateKeyPem, leaf.certificatePem, hierarchy_.intermediate.certificatePem};
}

SigningIdentity TestCA::chainedIdentity(const IssuedCertificate& root, bool markedIntermediate) {
    const IssuedCertificate intermediate = issueCertificate(
        authorityRequest(QStringLiteral("Test Intermediate"), root, markedIntermediate));
    const IssuedCertificate leaf =
        issueCertificate(leafRequest(QStringLiteral("Test Leaf"), {team()}, intermediate, true));
    return {leaf.privateKeyPem, leaf.certificatePem, intermediate.certificatePem};
}

QByteArray signWithTwoSigners(const QByteArray& content, const SigningIdentity& first,
                              const SigningIdentity& second) {
    const unsigned flags = CMS_DETACHED | CMS_BINARY | CMS_PARTIAL;
    CMS_ContentInfo* cms = CMS_sign(nullptr, nullptr, nullptr, nullptr, flags);
    bool ok = cms != nullptr;
    for (const SigningIdentity* identity : {&first, &second}) {
        BIO* keyBio = BIO_new_mem_buf(identity->privateKeyPem.constData(), -1);
        BIO* certBio = BIO_new_mem_buf(identity->certificatePem.constData(), -1);
        EVP_PKEY* key = PEM_read_bio_PrivateKey(keyBio, nullptr, nullptr, nullptr);
        X509* cert = PEM_read_bio_X509(certBio, nullptr, nullptr, nullptr);
        ok = ok && CMS_add1_signer(cms, cert, key, EVP_sha256(), flags) != nullptr;
        EVP_PKEY_free(key);
        X509_free(cert);
        BIO_free(keyBio);
        BIO_free(certBio);
    }
    BIO* data = BIO_new_mem_buf(content.constData(), int(content.size()));
    BIO* out = BIO_new(BIO_s_mem());
    ok = ok && CMS_final(cms, data, nullptr, flags) == 1 && i2d_CMS_bio(out, cms) == 1;
    char* bytes = nullptr;
    const long length = BIO_get_mem_data(out, &bytes);
    const QByteArray der(bytes, length);
    BIO_free(data);
    BIO_free(out);
    CMS_ContentInfo_free(cms);
    if (!ok)
        throw std::runtime_error("cannot make a two-signer signature");
    return der;
}

} // namespace nimbara::test
