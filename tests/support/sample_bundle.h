#pragma once

#include "bundle_zip.h"
#include "code_signing.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

namespace nimbara::test {

// What a sample bundle holds: Contents/Info.plist, an executable shell script
// Contents/MacOS/<name>, Contents/Resources/readme.txt with a symlink current.txt to it, and,
// when `nested`, a helper bundle Contents/Helpers/Helper.app sealed on its own.
struct SampleBundleSpec {
    QString name = QStringLiteral("Sample");
    QString identifier = QStringLiteral("com.example.sample");
    QString version = QStringLiteral("1.0.0");
    bool nested = true;
};

// An XML property list holding `strings`.
QByteArray infoPlist(const QMap<QString, QString>& strings);

// Writes the bundle into `parent` (unsigned) and returns its path (<parent>/<name>.app).
QString writeSampleBundle(const QString& parent, const SampleBundleSpec& spec = {});

// Writes the bundle and seals it (the nested bundle first) with `identity`.
QString writeSignedBundle(const QString& parent, const codesign::SigningIdentity& identity,
                          const SampleBundleSpec& spec = {});

// Release archives are zipped by the signing tools' own writer.
using codesign::zipFolder;

// Every entry below `root` (never following a symlink): path -> type, mode, and the contents
// or link target. Equal snapshots mean the tree is byte for byte the same.
QMap<QString, QByteArray> treeSnapshot(const QString& root);

// Writes `bytes` to `path`, replacing it. Throws std::runtime_error.
void writeBytes(const QString& path, const QByteArray& bytes);

// The CFBundleShortVersionString of the bundle at `bundle`, or "<none>" when it cannot be read.
QString bundleVersionAt(const QString& bundle);

// Entries below `root` that only an install cut short leaves behind: work folders
// (NimbaraInstall-*), staged copies (*.staged), backups (*.backup) and unfinished or replaced
// kept copies (.incoming-*, .old-*).
QStringList installLeftovers(const QString& root);

} // namespace nimbara::test
