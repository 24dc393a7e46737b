#include "support/sample_bundle.h"

#include "install/installed_bundle_metadata.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace nimbara::test {

namespace {

void symlinkTo(const QString& target, const QString& link) {
    if (::symlink(QFile::encodeName(target).constData(), QFile::encodeName(link).constData()) != 0)
        throw std::runtime_error("cannot create a symlink");
}

void writeBundleFiles(const QString& bundle, const QString& name, const QString& identifier,
                      const QString& version) {
    QDir().mkpath(bundle + QStringLiteral("/Contents/MacOS"));
    QDir().mkpath(bundle + QStringLiteral("/Contents/Resources"));
    writeBytes(bundle + QStringLiteral("/Contents/Info.plist"),
               infoPlist({{QStringLiteral("CFBundleIdentifier"), identifier},
                          {QStringLiteral("CFBundleShortVersionString"), version},
                          {QStringLiteral("CFBundleExecutable"), name}}));
    const QString executable = bundle + QStringLiteral("/Contents/MacOS/") + name;
    writeBytes(executable, QByteArrayLiteral("#!/bin/sh\nexit 0\n"));
    QFile::setPermissions(executable, QFile::permissions(executable) | QFileDevice::ExeOwner);
    writeBytes(bundle + QStringLiteral("/Contents/Resources/readme.txt"),
               QByteArrayLiteral("A sample app.\n"));
    symlinkTo(QStringLiteral("readme.txt"),
              bundle + QStringLiteral("/Contents/Resources/current.txt"));
}

// The target stored in the symlink at `path`.
QByteArray linkTarget(const QString& path) {
    char target[4096];
    const ssize_t length = ::readlink(QFile::encodeName(path).constData(), target, sizeof target);
    return length < 0 ? QByteArray() : QByteArray(target, length);
}

QString nestedBundle(const QString& bundle) {
    return bundle + QStringLiteral("/Contents/Helpers/Helper.app");
}

} // namespace

QByteArray infoPlist(const QMap<QString, QString>& strings) {
    QByteArray xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n";
    for (auto it = strings.cbegin(); it != strings.cend(); ++it) {
        xml += "<key>" + it.key().toHtmlEscaped().toUtf8() + "</key><string>" +
               it.value().toHtmlEscaped().toUtf8() + "</string>\n";
    }
    return xml + "</dict>\n</plist>\n";
}

QString writeSampleBundle(const QString& parent, const SampleBundleSpec& spec) {
    const QString bundle = parent + QLatin1Char('/') + spec.name + QStringLiteral(".app");
    writeBundleFiles(bundle, spec.name, spec.identifier, spec.version);
    if (spec.nested)
        writeBundleFiles(nestedBundle(bundle), QStringLiteral("Helper"),
                         spec.identifier + QStringLiteral(".helper"), spec.version);
    return bundle;
}

QString writeSignedBundle(const QString& parent, const codesign::SigningIdentity& identity,
                          const SampleBundleSpec& spec) {
    const QString bundle = writeSampleBundle(parent, spec);
    if (spec.nested)
        codesign::signBundle(nestedBundle(bundle), spec.identifier + QStringLiteral(".helper"),
                             identity);
    codesign::signBundle(bundle, spec.identifier, identity);
    return bundle;
}

QMap<QString, QByteArray> treeSnapshot(const QString& root) {
    QMap<QString, QByteArray> snapshot;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        struct stat info {};
        ::lstat(QFile::encodeName(path).constData(), &info);
        QByteArray record = QByteArray::number(info.st_mode, 8) + ' ' +
                            QByteArray::number(qint64(info.st_mtim.tv_sec)) + '.' +
                            QByteArray::number(qint64(info.st_mtim.tv_nsec)) + '\n';
        if (S_ISLNK(info.st_mode)) {
            record += linkTarget(path);
        } else if (S_ISREG(info.st_mode)) {
            QFile file(path);
            if (file.open(QIODevice::ReadOnly))
                record += file.readAll();
        }
        snapshot.insert(path, record);
    }
    return snapshot;
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write a test file");
}

QString bundleVersionAt(const QString& bundle) {
    try {
        return loadInstalledBundleMetadata(QUrl::fromLocalFile(bundle)).shortVersion;
    } catch (...) {
        return QStringLiteral("<none>");
    }
}

QStringList installLeftovers(const QString& root) {
    QStringList found;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString name = it.nextFileInfo().fileName();
        if (name.startsWith(QLatin1String("NimbaraInstall-")) ||
            name.endsWith(QLatin1String(".staged")) || name.endsWith(QLatin1String(".backup")) ||
            name.startsWith(QLatin1String(".incoming-")) || name.startsWith(QLatin1String(".old-")))
            found.append(it.filePath());
    }
    return found;
}

} // namespace nimbara::test
