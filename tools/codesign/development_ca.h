#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

namespace nimbara::codesign {

// A certificate and its private key, both in PEM.
struct IssuedCertificate {
    QByteArray certificatePem;
    QByteArray privateKeyPem;
};

// What to put in a new certificate (EC P-256 key, SHA-256 signature).
struct CertificateRequest {
    QString commonName;
    QStringList organizationalUnits; // subject OU entries, in order
    bool authority = false;          // a CA (keyCertSign) instead of a code-signing leaf
    // The marker extension of its role (non-critical): Developer ID authority for a CA,
    // Developer ID application for a leaf.
    bool developerIdMarker = false;
    QDateTime notBefore = QDateTime::currentDateTimeUtc().addDays(-1);
    QDateTime notAfter = QDateTime::currentDateTimeUtc().addYears(10);
    std::optional<IssuedCertificate> issuer; // none: self-signed
};

// A request for an authority (self-signed when there is no issuer), and for a code-signing leaf.
CertificateRequest authorityRequest(const QString& commonName,
                                    std::optional<IssuedCertificate> issuer, bool marked);
CertificateRequest leafRequest(const QString& commonName, const QStringList& organizationalUnits,
                               const IssuedCertificate& issuer, bool marked);

// Leaves carry keyUsage digitalSignature and extendedKeyUsage codeSigning; authorities carry
// basicConstraints CA:TRUE and keyUsage keyCertSign, cRLSign. Throws CodeSigningError.
IssuedCertificate issueCertificate(const CertificateRequest& request);

// A development hierarchy: a root, an intermediate marked as Developer ID authority, and three
// leaves under it: marked with OU = team, unmarked with OU = team (a development certificate),
// and marked with OU = another team.
struct DevelopmentHierarchy {
    IssuedCertificate root;
    IssuedCertificate intermediate;
    IssuedCertificate leaf;
    IssuedCertificate developmentLeaf;
    IssuedCertificate otherTeamLeaf;
    QString otherTeam;
};

DevelopmentHierarchy makeDevelopmentHierarchy(const QString& team);

// Writes the hierarchy into `folder` (created if needed): root.pem, intermediate.pem,
// leaf.pem + leaf-key.pem, development-leaf.pem + development-leaf-key.pem,
// other-team-leaf.pem + other-team-leaf-key.pem. Private keys are readable by the owner only.
// The root's key is not kept. Throws CodeSigningError.
void writeDevelopmentHierarchy(const DevelopmentHierarchy& hierarchy, const QString& folder);

} // namespace nimbara::codesign
