#pragma once

#include "core/error.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace nimbara::codesign {

// A failure to sign (unreadable key or certificate, a bundle that cannot be sealed, a seal that
// cannot be written), with a readable description.
class CodeSigningError : public Error {
public:
    explicit CodeSigningError(const QString& message)
        : Error(message, QStringLiteral("CodeSigningError(%1)").arg(renderedString(message))) {}
};

// Who signs: a private key and its certificate, plus the certificates between it and the root.
struct SigningIdentity {
    QByteArray privateKeyPem;
    QByteArray certificatePem;
    QByteArray chainPem; // zero or more certificates; the root is not included
};

// The detached CMS signature (DER, SHA-256, CMS_BINARY) of `content`, carrying the signer's
// certificate and its chain.
QByteArray signDetached(const QByteArray& content, const SigningIdentity& identity);

// Seals the bundle folder `bundle`: writes Contents/_CodeSignature/manifest.json (every regular
// file and symlink of the bundle, nested bundles' seals included) and its signature, replacing an
// earlier seal. Nested bundles must have been signed before. Throws CodeSigningError.
void signBundle(const QString& bundle, const QString& identifier, const SigningIdentity& identity);

} // namespace nimbara::codesign
