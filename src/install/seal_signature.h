#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <memory>

namespace nimbara {

// The detached CMS signature of a seal manifest, verified over the manifest's bytes with the
// signer certificate it carries. Whether that certificate is trusted, and whose it is, are the
// separate questions of requireDeveloperID and requireTeam. A value; safe to share read-only.
class SealSignature {
public:
    // Parses `der` (a CMS SignedData with exactly one signer, SHA-256, detached) and verifies it
    // over `content` with the certificate it carries for that signer. Throws SealFault
    // (invalidSignature) when it does not parse or verify.
    static SealSignature verify(const QByteArray& der, const QByteArray& content);

    // The signer chains to one of `anchors` (DER root certificates, the only trust anchors;
    // validity dates are not judged), the certificate directly above it carries the Developer
    // ID authority marker and the signer carries the Developer ID application marker. Throws
    // SealFault (notDeveloperIDLeaf) otherwise.
    void requireDeveloperID(const QList<QByteArray>& anchors) const;

    // The signer's subject holds exactly one organisational unit, equal to `teamID`. Throws
    // SealFault (teamIDMismatch) otherwise.
    void requireTeam(const QString& teamID) const;

private:
    struct State;
    explicit SealSignature(std::shared_ptr<const State> state) : state_(std::move(state)) {}
    std::shared_ptr<const State> state_;
};

// The certificates of a PEM text, in DER, in their order. Text outside the certificate blocks is
// ignored; a block that does not parse throws SealFault (notDeveloperIDLeaf).
QList<QByteArray> certificatesFromPem(const QByteArray& pem);

// Object identifiers of the two marker extensions (non-critical).
inline constexpr char kDeveloperIdAuthorityOid[] = "1.2.840.113635.100.6.2.6";
inline constexpr char kDeveloperIdApplicationOid[] = "1.2.840.113635.100.6.1.13";

} // namespace nimbara
