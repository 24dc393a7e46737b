// Measures how much memory the development server holds while it serves a download: the peak
// resident set (VmHWM) of a fresh server process after one client has fetched a 1 GiB file,
// against the same figure for a 64 KiB file as the baseline. A server that streams the file
// holds about the same in both cases; one that reads the file into memory holds the file.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTextStream>
#include <optional>

namespace {

constexpr int waitMs = 60'000; // guard against a hung process only
constexpr qint64 smallBytes = 64 * 1024;
constexpr qint64 largeBytes = qint64(1024) * 1024 * 1024;

// The process's peak resident set in KiB.
std::optional<qint64> peakResidentKb(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return std::nullopt;
    static const QRegularExpression peak(QStringLiteral("VmHWM:\\s+(\\d+) kB"));
    const QRegularExpressionMatch match = peak.match(QString::fromLatin1(status.readAll()));
    return match.hasMatch() ? std::optional(match.captured(1).toLongLong()) : std::nullopt;
}

// Starts a server over `root`, fetches /downloads/<name> and answers the server's peak
// resident set afterwards, or no value (with the reason on standard error) on failure.
std::optional<qint64> peakAfterDownload(const QString& root, const QString& name,
                                        qint64 expectedBytes) {
    QProcess server;
    server.setStandardErrorFile(QProcess::nullDevice());
#ifdef NIMBARA_DEVSERVER_PATH
    server.start(QString::fromUtf8(NIMBARA_DEVSERVER_PATH),
                 {QStringLiteral("--root"), root, QStringLiteral("--port"), QStringLiteral("0"),
                  QStringLiteral("--db"), QDir(root).filePath(QStringLiteral("db.sqlite"))});
#endif
    QByteArray output;
    while (!output.contains('\n') && server.waitForReadyRead(waitMs))
        output += server.readAllStandardOutput();
    const QRegularExpressionMatch port =
        QRegularExpression(QStringLiteral(":(\\d+)\n")).match(QString::fromUtf8(output));
    if (!port.hasMatch()) {
        QTextStream(stderr) << "the server did not start: " << output << '\n';
        return std::nullopt;
    }

    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), port.captured(1).toUShort());
    if (!socket.waitForConnected(waitMs))
        return std::nullopt;
    socket.write("GET /downloads/" + name.toUtf8() + " HTTP/1.1\r\nConnection: close\r\n\r\n");
    qint64 received = 0;
    while (socket.waitForReadyRead(waitMs))
        received += socket.readAll().size();
    received += socket.readAll().size();
    const std::optional<qint64> peak = peakResidentKb(server.processId());
    server.kill();
    server.waitForFinished(waitMs);
    if (received < expectedBytes) {
        QTextStream(stderr) << name << ": received " << received << " bytes only\n";
        return std::nullopt;
    }
    return peak;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
#ifndef NIMBARA_DEVSERVER_PATH
    QTextStream(stderr) << "built without nimbara-devserver\n";
    return 1;
#endif
    QTextStream out(stdout);
    QTemporaryDir root;
    QDir(root.path()).mkpath(QStringLiteral("downloads"));
    for (const auto& [name, size] : {std::pair(QStringLiteral("small.bin"), smallBytes),
                                     std::pair(QStringLiteral("large.bin"), largeBytes)}) {
        QFile file(QDir(root.path()).filePath(QStringLiteral("downloads/") + name));
        // A sparse file: the server reads a gigabyte without it taking room on the disk.
        if (!file.open(QIODevice::WriteOnly) || !file.resize(size)) {
            QTextStream(stderr) << "cannot create " << file.fileName() << '\n';
            return 1;
        }
    }
    const std::optional<qint64> small =
        peakAfterDownload(root.path(), QStringLiteral("small.bin"), smallBytes);
    const std::optional<qint64> large =
        peakAfterDownload(root.path(), QStringLiteral("large.bin"), largeBytes);
    if (!small || !large)
        return 1;
    out << "server peak RSS after a 64 KiB download: " << *small << " KiB\n";
    out << "server peak RSS after a 1 GiB download: " << *large << " KiB\n";
    out << "ratio: " << QString::number(double(*large) / double(*small), 'f', 2) << '\n';
    return 0;
}
