// Installs a signed app of 2,000 files (100 MB) served over loopback by nimbara-devserver with
// AppInstaller, and compares the time with curl + sha256sum + bsdtar -x + cp -a on the same
// archive in the same run. The install runs in a child process of this one, which also reports
// its peak resident memory above its idle figure. Prints the figures and, last, "ratio: R" (the
// installer's time over the baseline's). Skipped with a message when a tool is missing.

#include "catalog/app_manifest_item.h"
#include "code_signing.h"
#include "development_ca.h"
#include "install/app_installer.h"
#include "install/bundle_signature_validator.h"
#include "install/file_digest.h"
#include "platform/network_session.h"

#include <QCoreApplication>
#include <QCoro/QCoroTask>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>

using namespace nimbara;

namespace {

constexpr int kFiles = 2000;
constexpr qsizetype kFileSize = 50 * 1000; // 2,000 x 50 kB = 100 MB
const QString kTeam = QStringLiteral("BENCHTEAM1");
const QString kIdentifier = QStringLiteral("com.example.bench");

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

void writeBundle(const QString& bundle) {
    QByteArray block(kFileSize, Qt::Uninitialized);
    for (int i = 0; i < kFiles; ++i) {
        const QString folder = bundle + QStringLiteral("/Contents/Resources/%1").arg(i / 100);
        QDir().mkpath(folder);
        QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(block.data()),
                                              block.size() / 4);
        writeFile(folder + QStringLiteral("/file%1.bin").arg(i), block);
    }
    writeFile(bundle + QStringLiteral("/Contents/Info.plist"),
              QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">"
                             "<dict><key>CFBundleIdentifier</key><string>%1</string>"
                             "<key>CFBundleShortVersionString</key><string>1.0.0</string>"
                             "</dict></plist>\n")
                  .arg(kIdentifier)
                  .toUtf8());
}

// A kibibyte figure of /proc/self/status ("VmRSS", "VmHWM").
qint64 statusKiB(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qsizetype(qstrlen(field)) + 1)
                .trimmed()
                .split(' ')
                .value(0)
                .toLongLong();
    }
    return -1;
}

void run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(program, arguments);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        qFatal("%s failed: %s", qPrintable(program), process.readAllStandardError().constData());
}

double secondsOf(const std::function<void()>& work) {
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e9;
}

// The install itself, in the child: prints "installer: <s>" and "peak: <KiB above idle>".
int installChild(const QStringList& arguments) {
    const QString folder = arguments.value(0);
    QFile anchors(folder + QStringLiteral("/root.pem"));
    if (!anchors.open(QIODevice::ReadOnly))
        qFatal("no anchors");
    AppInstaller installer(sharedNetworkAccessManager(), folder + QStringLiteral("/root"),
                           std::make_shared<BundleSignatureValidator>(kTeam, anchors.readAll()),
                           std::make_shared<LinuxSystemInformation>(),
                           {folder + QStringLiteral("/tmp"), {}, {}, {}});
    AppManifestItem app;
    app.id = QStringLiteral("bench");
    app.bundleId = kIdentifier;
    app.version = QStringLiteral("1.0.0");
    app.minMacOS = QStringLiteral("1.0");
    app.status = AppReleaseStatus::live;
    app.downloadUrl = QUrl(arguments.value(1));
    app.sha256 = arguments.value(2);
    const qint64 idle = statusKiB("VmRSS:");
    QElapsedTimer timer;
    timer.start();
    // QCoro::waitFor never returns from a task that throws, so the failure is caught inside.
    QString failure;
    auto guarded = [&]() -> QCoro::Task<> {
        try {
            QCoro::Task<InstalledApp> installing = installer.install(app, std::nullopt, {}, {});
            co_await std::move(installing);
        } catch (const Error& error) {
            failure = error.description();
        }
    };
    QCoro::Task<> running = guarded();
    QCoro::waitFor(std::move(running));
    if (!failure.isEmpty()) {
        std::fprintf(stderr, "the install failed: %s\n", qPrintable(failure));
        return 1;
    }
    std::printf("installer: %.3f\npeak: %lld\n", double(timer.nsecsElapsed()) / 1e9,
                statusKiB("VmHWM:") - idle);
    return 0;
}

quint16 freePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.value(1) == QStringLiteral("--install-child"))
        return installChild(arguments.mid(2));

    for (const char* tool : {"curl", "sha256sum", "bsdtar", "cp"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()) {
            std::printf("skipped: %s is not installed (scripts/setup installs it)\n", tool);
            return 0;
        }
    }
    QTemporaryDir folder;
    const auto at = [&](const QString& name) {
        return folder.filePath(name);
    };
    const QString bundle = at(QStringLiteral("build/Bench.app"));
    writeBundle(bundle);
    const codesign::DevelopmentHierarchy ca = codesign::makeDevelopmentHierarchy(kTeam);
    codesign::signBundle(
        bundle, kIdentifier,
        {ca.leaf.privateKeyPem, ca.leaf.certificatePem, ca.intermediate.certificatePem});
    writeFile(at(QStringLiteral("root.pem")), ca.root.certificatePem);
    QDir().mkpath(at(QStringLiteral("served/downloads")));
    QDir().mkpath(at(QStringLiteral("tmp")));
    const QString archive = at(QStringLiteral("served/downloads/bench.zip"));
    run(QStringLiteral("bsdtar"),
        {QStringLiteral("--format"), QStringLiteral("zip"), QStringLiteral("-cf"), archive,
         QStringLiteral("-C"), at(QStringLiteral("build")), QStringLiteral("Bench.app")});

    const quint16 port = freePort();
    QProcess server;
    server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server.start(QStringLiteral(NIMBARA_DEVSERVER_PATH),
                 {QStringLiteral("--root"), at(QStringLiteral("served")), QStringLiteral("--port"),
                  QString::number(port)});
    for (int tries = 0;; ++tries) {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, port);
        if (probe.waitForConnected(200))
            break;
        if (tries == 50)
            qFatal("nimbara-devserver did not come up");
        QThread::msleep(100);
    }
    const QString url = QStringLiteral("http://127.0.0.1:%1/downloads/bench.zip").arg(port);

    int round = 0;
    const auto baseline = [&] {
        const QString work = at(QStringLiteral("baseline%1").arg(++round));
        QDir().mkpath(work + QStringLiteral("/extracted"));
        QDir().mkpath(work + QStringLiteral("/Applications"));
        run(QStringLiteral("curl"), {QStringLiteral("-sfo"), work + QStringLiteral("/a.zip"), url});
        run(QStringLiteral("sha256sum"), {work + QStringLiteral("/a.zip")});
        run(QStringLiteral("bsdtar"), {QStringLiteral("-xf"), work + QStringLiteral("/a.zip"),
                                       QStringLiteral("-C"), work + QStringLiteral("/extracted")});
        run(QStringLiteral("cp"),
            {QStringLiteral("-a"), work + QStringLiteral("/extracted/Bench.app"),
             work + QStringLiteral("/Applications/")});
    };
    baseline(); // warms the page cache and the server for both
    const double baselineSeconds = secondsOf(baseline);

    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--install-child"), folder.path(), url, sha256OfFile(archive)});
    if (!child.waitForFinished(-1) || child.exitCode() != 0)
        qFatal("the install failed");
    double installSeconds = 0;
    qint64 peakKiB = 0;
    for (const QByteArray& line : child.readAllStandardOutput().split('\n')) {
        if (line.startsWith("installer: "))
            installSeconds = line.mid(11).toDouble();
        if (line.startsWith("peak: "))
            peakKiB = line.mid(6).toLongLong();
    }
    server.kill();
    server.waitForFinished();

    std::printf("files: %d, bytes: %lld, archive: %lld\n", kFiles + 1,
                qlonglong(kFiles) * kFileSize, qlonglong(QFileInfo(archive).size()));
    std::printf("baseline (curl + sha256sum + bsdtar -x + cp -a): %.3f s\n", baselineSeconds);
    std::printf("AppInstaller: %.3f s\n", installSeconds);
    std::printf("peak resident memory above idle: %.1f MB\n", double(peakKiB) / 1024.0);
    std::printf("ratio: %.2f\n", installSeconds / baselineSeconds);
    return 0;
}
