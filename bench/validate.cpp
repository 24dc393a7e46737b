// Validates a bundle of 2,000 files (200 MB) generated in a temporary folder and compares the
// time with sha256sum over the same files, run in the same process. Prints the figures and, last,
// "ratio: R" (the validator's time over sha256sum's).

#include "code_signing.h"
#include "development_ca.h"
#include "install/bundle_signature_validator.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>

using namespace nimbara;

namespace {

constexpr int kFiles = 2000;
constexpr qsizetype kFileSize = 100 * 1000; // 2,000 x 100 kB = 200 MB

QString plist(const QString& identifier) {
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
               "<key>CFBundleIdentifier</key><string>%1</string>"
               "<key>CFBundleShortVersionString</key><string>1.0.0</string>"
               "</dict></plist>\n")
        .arg(identifier);
}

// The bundle's files, relative to the bundle folder.
QStringList writeBundle(const QString& bundle, const QString& identifier) {
    QStringList files;
    QByteArray block(kFileSize, Qt::Uninitialized);
    for (int i = 0; i < kFiles; ++i) {
        const QString folder = QStringLiteral("Contents/Resources/%1").arg(i / 100);
        QDir(bundle).mkpath(folder);
        QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(block.data()),
                                              block.size() / 4);
        const QString path = folder + QStringLiteral("/file%1.bin").arg(i);
        QFile file(bundle + QLatin1Char('/') + path);
        if (!file.open(QIODevice::WriteOnly) || file.write(block) != block.size())
            qFatal("cannot write %s", qPrintable(path));
        files.append(path);
    }
    QFile info(bundle + QStringLiteral("/Contents/Info.plist"));
    if (!info.open(QIODevice::WriteOnly) || info.write(plist(identifier).toUtf8()) < 0)
        qFatal("cannot write Info.plist");
    files.append(QStringLiteral("Contents/Info.plist"));
    return files;
}

double secondsOf(const std::function<void()>& work) {
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e9;
}

void sha256sum(const QString& bundle, const QStringList& files) {
    QProcess process;
    process.setWorkingDirectory(bundle);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(QStringLiteral("sha256sum"), files);
    if (!process.waitForFinished(-1) || process.exitCode() != 0)
        qFatal("sha256sum failed");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString team = QStringLiteral("BENCHTEAM1");
    const QString identifier = QStringLiteral("com.example.bench");
    QTemporaryDir folder;
    const QString bundle = folder.filePath(QStringLiteral("Bench.app"));
    const QStringList files = writeBundle(bundle, identifier);

    const codesign::DevelopmentHierarchy ca = codesign::makeDevelopmentHierarchy(team);
    codesign::signBundle(
        bundle, identifier,
        {ca.leaf.privateKeyPem, ca.leaf.certificatePem, ca.intermediate.certificatePem});
    const BundleSignatureValidator validator(team, ca.root.certificatePem);
    const QUrl url = QUrl::fromLocalFile(bundle);

    sha256sum(bundle, files); // both start from a warm page cache
    const double baseline = secondsOf([&] { sha256sum(bundle, files); });
    const double validation =
        secondsOf([&] { validator.validate(url, identifier, QStringLiteral("1.0.0")); });
    std::printf("files: %d, bytes: %lld\n", kFiles + 1, qlonglong(kFiles) * kFileSize);
    std::printf("sha256sum: %.3f s\n", baseline);
    std::printf("validator: %.3f s\n", validation);
    std::printf("ratio: %.2f\n", validation / baseline);
    return 0;
}
