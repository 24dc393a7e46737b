#include "development_ca.h"

#include "code_signing.h"
#include "install/openssl_handles.h"
#include "install/seal_signature.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <openssl/bn.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/x509v3.h>

namespace nimbara::codesign {

namespace {

using OwnedExtension = Owned<X509_EXTENSION, X509_EXTENSION_free>;
using OwnedObject = Owned<ASN1_OBJECT, ASN1_OBJECT_free>;
using OwnedOctets = Owned<ASN1_OCTET_STRING, ASN1_OCTET_STRING_free>;
using OwnedNumber = Owned<BIGNUM, BN_free>;

[[noreturn]] void fail(const QString& what) {
    const unsigned long code = ERR_get_error();
    ERR_clear_error();
    char text[256];
    ERR_error_string_n(code, text, sizeof text);
    throw CodeSigningError(QStringLiteral("%1: %2").arg(what, QString::fromUtf8(text)));
}

void require(bool ok, const char* what) {
    if (!ok)
        fail(QString::fromLatin1(what));
}

void addExtension(X509* certificate, X509* issuer, int nid, const char* value) {
    X509V3_CTX context;
    X509V3_set_ctx(&context, issuer, certificate, nullptr, nullptr, 0);
    const OwnedExtension extension(X509V3_EXT_conf_nid(nullptr, &context, nid, value));
    require(extension && X509_add_ext(certificate, extension.get(), -1) == 1, "extension");
}

// A non-critical extension `oid` whose value is an ASN.1 NULL.
void addMarker(X509* certificate, const char* oid) {
    static const unsigned char asn1Null[] = {0x05, 0x00};
    const OwnedObject object(OBJ_txt2obj(oid, 1));
    const OwnedOctets value(ASN1_OCTET_STRING_new());
    require(object && value && ASN1_OCTET_STRING_set(value.get(), asn1Null, sizeof asn1Null),
            "marker");
    const OwnedExtension extension(
        X509_EXTENSION_create_by_OBJ(nullptr, object.get(), 0, value.get()));
    require(extension && X509_add_ext(certificate, extension.get(), -1) == 1, "marker");
}

void addName(X509_NAME* name, const char* field, const QString& value) {
    const QByteArray utf8 = value.toUtf8();
    require(X509_NAME_add_entry_by_txt(name, field, MBSTRING_UTF8,
                                       reinterpret_cast<const unsigned char*>(utf8.constData()),
                                       int(utf8.size()), -1, 0) == 1,
            "subject");
}

QByteArray pemOf(X509* certificate) {
    const OwnedBio out(BIO_new(BIO_s_mem()));
    require(out && PEM_write_bio_X509(out.get(), certificate) == 1, "certificate PEM");
    return writtenBytes(out.get());
}

QByteArray pemOf(EVP_PKEY* key) {
    const OwnedBio out(BIO_new(BIO_s_mem()));
    require(
        out && PEM_write_bio_PrivateKey(out.get(), key, nullptr, nullptr, 0, nullptr, nullptr) == 1,
        "key PEM");
    return writtenBytes(out.get());
}

void writeFile(const QString& path, const QByteArray& bytes, QFileDevice::Permissions mode) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !file.setPermissions(mode) ||
        file.write(bytes) != bytes.size() || !file.commit())
        throw CodeSigningError(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
}

} // namespace

CertificateRequest authorityRequest(const QString& commonName,
                                    std::optional<IssuedCertificate> issuer, bool marked) {
    CertificateRequest request;
    request.commonName = commonName;
    request.authority = true;
    request.developerIdMarker = marked;
    request.issuer = std::move(issuer);
    return request;
}

CertificateRequest leafRequest(const QString& commonName, const QStringList& organizationalUnits,
                               const IssuedCertificate& issuer, bool marked) {
    CertificateRequest request;
    request.commonName = commonName;
    request.organizationalUnits = organizationalUnits;
    request.developerIdMarker = marked;
    request.issuer = issuer;
    return request;
}

IssuedCertificate issueCertificate(const CertificateRequest& request) {
    const OwnedKey key(EVP_EC_gen("P-256"));
    require(key != nullptr, "key generation");
    OwnedKey issuerKey;
    OwnedX509 issuerCertificate;
    if (request.issuer) {
        const OwnedBio keyBio = readingBio(request.issuer->privateKeyPem);
        const OwnedBio certificateBio = readingBio(request.issuer->certificatePem);
        issuerKey.reset(PEM_read_bio_PrivateKey(keyBio.get(), nullptr, nullptr, nullptr));
        issuerCertificate.reset(PEM_read_bio_X509(certificateBio.get(), nullptr, nullptr, nullptr));
        require(issuerKey && issuerCertificate, "issuer");
    }

    const OwnedX509 certificate(X509_new());
    require(certificate && X509_set_version(certificate.get(), X509_VERSION_3) == 1, "version");
    const OwnedNumber serial(BN_new());
    require(serial && BN_rand(serial.get(), 63, BN_RAND_TOP_ONE, BN_RAND_BOTTOM_ANY) == 1 &&
                BN_to_ASN1_INTEGER(serial.get(), X509_get_serialNumber(certificate.get())),
            "serial");
    require(ASN1_TIME_set(X509_getm_notBefore(certificate.get()),
                          time_t(request.notBefore.toSecsSinceEpoch())) &&
                ASN1_TIME_set(X509_getm_notAfter(certificate.get()),
                              time_t(request.notAfter.toSecsSinceEpoch())),
            "validity");
    X509_NAME* subject = X509_get_subject_name(certificate.get());
    addName(subject, "O", QStringLiteral("Nimbara Development"));
    for (const QString& unit : request.organizationalUnits)
        addName(subject, "OU", unit);
    addName(subject, "CN", request.commonName);
    require(X509_set_issuer_name(certificate.get(),
                                 issuerCertificate ? X509_get_subject_name(issuerCertificate.get())
                                                   : subject) == 1 &&
                X509_set_pubkey(certificate.get(), key.get()) == 1,
            "issuer name");

    X509* signer = issuerCertificate ? issuerCertificate.get() : certificate.get();
    addExtension(certificate.get(), signer, NID_subject_key_identifier, "hash");
    if (issuerCertificate)
        addExtension(certificate.get(), signer, NID_authority_key_identifier, "keyid:always");
    if (request.authority) {
        addExtension(certificate.get(), signer, NID_basic_constraints, "critical,CA:TRUE");
        addExtension(certificate.get(), signer, NID_key_usage, "critical,keyCertSign,cRLSign");
    } else {
        addExtension(certificate.get(), signer, NID_basic_constraints, "critical,CA:FALSE");
        addExtension(certificate.get(), signer, NID_key_usage, "critical,digitalSignature");
        addExtension(certificate.get(), signer, NID_ext_key_usage, "codeSigning");
    }
    if (request.developerIdMarker)
        addMarker(certificate.get(),
                  request.authority ? kDeveloperIdAuthorityOid : kDeveloperIdApplicationOid);
    require(X509_sign(certificate.get(), issuerKey ? issuerKey.get() : key.get(), EVP_sha256()) > 0,
            "signature");
    return {pemOf(certificate.get()), pemOf(key.get())};
}

DevelopmentHierarchy makeDevelopmentHierarchy(const QString& team) {
    DevelopmentHierarchy hierarchy;
    hierarchy.otherTeam = team == QStringLiteral("OTHERTEAM1") ? QStringLiteral("OTHERTEAM2")
                                                               : QStringLiteral("OTHERTEAM1");
    hierarchy.root = issueCertificate(
        authorityRequest(QStringLiteral("Nimbara Development Root"), std::nullopt, false));
    hierarchy.intermediate = issueCertificate(
        authorityRequest(QStringLiteral("Nimbara Development Developer ID"), hierarchy.root, true));
    const auto leaf = [&](const QString& name, const QString& unit, bool marked) {
        return issueCertificate(leafRequest(name, {unit}, hierarchy.intermediate, marked));
    };
    hierarchy.leaf = leaf(QStringLiteral("Developer ID Application (%1)").arg(team), team, true);
    hierarchy.developmentLeaf = leaf(QStringLiteral("Development (%1)").arg(team), team, false);
    hierarchy.otherTeamLeaf =
        leaf(QStringLiteral("Developer ID Application (%1)").arg(hierarchy.otherTeam),
             hierarchy.otherTeam, true);
    return hierarchy;
}

void writeDevelopmentHierarchy(const DevelopmentHierarchy& hierarchy, const QString& folder) {
    if (!QDir().mkpath(folder))
        throw CodeSigningError(QStringLiteral("cannot create %1").arg(folder));
    const auto publicFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                            QFileDevice::ReadGroup | QFileDevice::ReadOther;
    const auto privateFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    const auto write = [&](const QString& name, const IssuedCertificate& issued, bool withKey) {
        writeFile(folder + QStringLiteral("/%1.pem").arg(name), issued.certificatePem, publicFile);
        if (withKey)
            writeFile(folder + QStringLiteral("/%1-key.pem").arg(name), issued.privateKeyPem,
                      privateFile);
    };
    write(QStringLiteral("root"), hierarchy.root, false);
    write(QStringLiteral("intermediate"), hierarchy.intermediate, false);
    write(QStringLiteral("leaf"), hierarchy.leaf, true);
    write(QStringLiteral("development-leaf"), hierarchy.developmentLeaf, true);
    write(QStringLiteral("other-team-leaf"), hierarchy.otherTeamLeaf, true);
}

} // namespace nimbara::codesign
