#pragma once

#include "code_signing.h"
#include "support/sample_bundle.h"

#include <QMetaType>
#include <QString>
#include <functional>

namespace nimbara::test {

// One bundle to validate, in a temporary folder, and what the validator is told to expect.
struct Scenario {
    explicit Scenario(QString folder);

    QString parent;
    SampleBundleSpec spec;
    codesign::SigningIdentity identity;
    QString signedAs;   // signing identifier; empty: the bundle spec's identifier
    QString bundle;     // set by build()
    QString identifier; // expected bundle identifier
    QString version;    // expected version
    QString team;
    QByteArray anchors;

    // Writes the sample bundle, unsealed.
    Scenario& create();
    // Seals it (nested bundle first).
    Scenario& sign();
    Scenario& build() { return create().sign(); }
    QString path(const QString& relative) const { return bundle + QLatin1Char('/') + relative; }
    QByteArray manifest() const;
    // Replaces the manifest with `bytes`, signed properly with the scenario's identity.
    void resign(const QByteArray& bytes) const;
    void write(const QString& relative, const QByteArray& bytes) const;
    void symlink(const QString& target, const QString& relative) const;
};

using Setup = std::function<void(Scenario&)>;

} // namespace nimbara::test

Q_DECLARE_METATYPE(nimbara::test::Setup)
