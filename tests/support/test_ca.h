#pragma once

#include "code_signing.h"
#include "development_ca.h"

#include <QByteArray>
#include <QString>

namespace nimbara::test {

// The certificate hierarchy that signs bundles in tests, made at run time (once per process) by
// the same code as nimbara-codesign dev-ca.
class TestCA {
public:
    static const TestCA& shared();

    // The team of `leaf`, and the only root a validator built for tests trusts.
    static QString team() { return QStringLiteral("NIMBARATM1"); }
    QByteArray anchorsPem() const { return hierarchy_.root.certificatePem; }
    const codesign::DevelopmentHierarchy& hierarchy() const { return hierarchy_; }

    // Signing with `leaf` (default: the team's marked leaf) under the marked intermediate.
    codesign::SigningIdentity identity(const codesign::IssuedCertificate& leaf) const;
    codesign::SigningIdentity developerID() const { return identity(hierarchy_.leaf); }

    // A marked leaf of the team under `intermediate`, itself issued by `root`.
    static codesign::SigningIdentity chainedIdentity(const codesign::IssuedCertificate& root,
                                                     bool markedIntermediate);

private:
    TestCA();
    codesign::DevelopmentHierarchy hierarchy_;
};

// A CMS signature of `content` by both identities, which no seal may carry.
QByteArray signWithTwoSigners(const QByteArray& content, const codesign::SigningIdentity& first,
                              const codesign::SigningIdentity& second);

} // namespace nimbara::test
