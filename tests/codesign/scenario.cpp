#include "scenario.h"

#include "install/seal_manifest.h"
#include "support/test_ca.h"

#include <QFile>
#include <stdexcept>
#include <unistd.h>

namespace nimbara::test {

Scenario::Scenario(QString folder)
    : parent(std::move(folder)), identity(TestCA::shared().developerID()),
      bundle(parent + QStringLiteral("/Missing.app")), identifier(spec.identifier),
      version(spec.version), team(TestCA::team()), anchors(TestCA::shared().anchorsPem()) {}

Scenario& Scenario::create() {
    bundle = writeSampleBundle(parent, spec);
    return *this;
}

Scenario& Scenario::sign() {
    if (spec.nested)
        codesign::signBundle(path(QStringLiteral("Contents/Helpers/Helper.app")),
                             spec.identifier + QStringLiteral(".helper"), identity);
    codesign::signBundle(bundle, signedAs.isEmpty() ? spec.identifier : signedAs, identity);
    return *this;
}

QByteArray Scenario::manifest() const {
    QFile file(path(kSealManifestPath));
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("no manifest");
    return file.readAll();
}

void Scenario::resign(const QByteArray& bytes) const {
    writeBytes(path(kSealManifestPath), bytes);
    writeBytes(path(kSealSignaturePath), codesign::signDetached(bytes, identity));
}

void Scenario::write(const QString& relative, const QByteArray& bytes) const {
    writeBytes(path(relative), bytes);
}

void Scenario::symlink(const QString& target, const QString& relative) const {
    if (::symlink(QFile::encodeName(target).constData(),
                  QFile::encodeName(path(relative)).constData()) != 0)
        throw std::runtime_error("cannot create a symlink");
}

} // namespace nimbara::test
