// nimbara-devserver: serves the catalog, release archives and the appcast from a folder, and
// receives feedback, operational events and error events into a SQLite file.

#include "dev_server.h"
#include "report_store.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHostInfo>
#include <chrono>
#include <cstdio>

using namespace nimbara;
using namespace nimbara::devserver;

namespace {

int fail(const QString& message) {
    std::fprintf(stderr, "nimbara-devserver: %s\n", message.toLocal8Bit().constData());
    return 2;
}

// "localhost" or an IP address.
std::optional<QHostAddress> listenAddress(const QString& host) {
    if (host == QStringLiteral("localhost"))
        return QHostAddress(QHostAddress::LocalHost);
    QHostAddress address;
    if (!address.setAddress(host))
        return std::nullopt;
    return address;
}

// How clients are told to reach the server: the host as given, or, for a wildcard
// address, this machine's name.
QString publicHost(const QHostAddress& address, const QString& host) {
    if (address == QHostAddress::Any || address == QHostAddress::AnyIPv4 ||
        address == QHostAddress::AnyIPv6)
        return QHostInfo::localHostName();
    return host;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("nimbara-devserver"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Local development server for the Nimbara launcher: the catalog (catalog.json,\n"
        "catalog.<lang>.json), downloads/, appcast.xml, feedback, operational events and an\n"
        "error store, all below one root folder."));
    parser.addHelpOption();
    const QCommandLineOption rootOption(
        QStringLiteral("root"), QStringLiteral("Folder served (required)."), QStringLiteral("DIR"));
    const QCommandLineOption portOption(QStringLiteral("port"),
                                        QStringLiteral("Port; 0 picks a free one (default 3000)."),
                                        QStringLiteral("N"), QStringLiteral("3000"));
    const QCommandLineOption hostOption(QStringLiteral("host"),
                                        QStringLiteral("Address to listen on (default 127.0.0.1)."),
                                        QStringLiteral("HOST"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption dbOption(
        QStringLiteral("db"),
        QStringLiteral("SQLite file for reports (default DIR/devserver.sqlite)."),
        QStringLiteral("FILE"));
    const QCommandLineOption idleOption(
        QStringLiteral("idle-timeout"),
        QStringLiteral("Seconds after which a silent connection is closed (default 30)."),
        QStringLiteral("SECONDS"), QStringLiteral("30"));
    const QCommandLineOption rateOption(
        QStringLiteral("download-rate"),
        QStringLiteral("Bytes per second each download is paced to, to show a slow network\n"
                       "(default 0: as fast as the client takes them)."),
        QStringLiteral("BYTES"), QStringLiteral("0"));
    parser.addOptions({rootOption, portOption, hostOption, dbOption, idleOption, rateOption});
    parser.process(app);

    if (!parser.isSet(rootOption))
        return fail(QStringLiteral("--root DIR is required"));
    const QFileInfo rootInfo(parser.value(rootOption));
    if (!rootInfo.isDir())
        return fail(QStringLiteral("%1 is not a folder").arg(parser.value(rootOption)));
    const QString root = rootInfo.absoluteFilePath();

    bool portValid = false;
    const uint port = parser.value(portOption).toUInt(&portValid);
    if (!portValid || port > 65535)
        return fail(QStringLiteral("invalid port %1").arg(parser.value(portOption)));

    const QString host = parser.value(hostOption);
    const std::optional<QHostAddress> address = listenAddress(host);
    if (!address)
        return fail(QStringLiteral("invalid host %1 (give an IP address or localhost)").arg(host));

    bool idleValid = false;
    const double idleSeconds = parser.value(idleOption).toDouble(&idleValid);
    if (!idleValid || idleSeconds <= 0 || idleSeconds > 24 * 3600)
        return fail(QStringLiteral("invalid idle timeout %1 (give seconds, more than 0)")
                        .arg(parser.value(idleOption)));
    const std::chrono::milliseconds idleTimeout(qint64(idleSeconds * 1000));

    bool rateValid = false;
    const qint64 downloadRate = parser.value(rateOption).toLongLong(&rateValid);
    if (!rateValid || downloadRate < 0)
        return fail(QStringLiteral("invalid download rate %1 (give bytes per second, 0 or more)")
                        .arg(parser.value(rateOption)));

    const QString database = parser.isSet(dbOption)
                                 ? parser.value(dbOption)
                                 : QDir(root).filePath(QStringLiteral("devserver.sqlite"));

    try {
        ReportStore store(database);
        DevServer server(root, store, idleTimeout);
        server.setDownloadRate(downloadRate);
        server.catalogs().checkAll();
        const quint16 bound = server.start(*address, quint16(port), publicHost(*address, host));
        if (bound == 0)
            return fail(QStringLiteral("cannot listen on %1:%2").arg(host).arg(port));

        QUrl origin;
        origin.setScheme(QStringLiteral("http"));
        origin.setHost(host);
        origin.setPort(bound);
        std::printf("listening on %s\n", origin.toString().toLocal8Bit().constData());
        std::fflush(stdout);
        return QCoreApplication::exec();
    } catch (const Error& error) {
        return fail(error.description());
    }
}
