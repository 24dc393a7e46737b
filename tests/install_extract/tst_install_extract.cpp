#include "core/cancellation_token.h"
#include "install/app_installer_error.h"
#include "install/archive_download.h"
#include "install/archive_extraction.h"
#include "platform/network_session.h"
#include "support/raw_http_server.h"
#include "support/task_outcome.h"
#include "support/temp_home.h"
#include "support/test_archive.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <sys/stat.h>

using namespace nimbara;
using namespace nimbara::test;
using namespace Qt::StringLiterals;

namespace {

using ArchiveMaker = std::function<void(TestArchive&, const QByteArray& outside)>;

// "ok", "cancelled", the AppInstallerError case name, or the error's type.
QString kindOf(const std::exception_ptr& failure) {
    try {
        if (failure)
            std::rethrow_exception(failure);
        return u"ok"_s;
    } catch (const AppInstallerError& error) {
        return error.rendering().section(u'.', 1).section(u'(', 0, 0);
    } catch (const CancelledError&) {
        return u"cancelled"_s;
    } catch (const NetworkError&) {
        return u"network"_s;
    } catch (...) {
        return u"other"_s;
    }
}

// Paths below `root` (relative, links not followed) that are not in `expected` and not inside
// `allowedFolder`.
QStringList strayPaths(const QString& root, const QString& allowedFolder,
                       const QStringList& expected) {
    QStringList stray;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = QDir(root).relativeFilePath(it.next());
        if (!expected.contains(path) && !path.startsWith(allowedFolder + u'/'))
            stray.append(path);
    }
    return stray;
}

const QByteArray archiveBody = QByteArray(3 * 1024 * 1024 + 17, 'z');

} // namespace

Q_DECLARE_METATYPE(ArchiveMaker)
Q_DECLARE_METATYPE(ExtractionLimits)
Q_DECLARE_METATYPE(Respond)

// Unpacking release archives and fetching them to a file.
class TestInstallExtract : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString path(const QString& name) const { return dir_.filePath(name); }

private Q_SLOTS:
    void init() {
        QVERIFY(dir_.isValid());
        QDir(dir_.path()).removeRecursively();
        QVERIFY(QDir().mkpath(path(u"work/extracted"_s)) && QDir().mkpath(path(u"outside"_s)));
        QFile target(path(u"outside/target"_s));
        QVERIFY(target.open(QIODevice::WriteOnly) && target.write("original") == 8);
    }

    void keepsBitsLinksAndTimes() {
        TestArchive()
            .directory("Notes.app/Contents/MacOS/", 0755, 1'600'000'000)
            .file("Notes.app/Contents/MacOS/notes", "#!/bin/sh\n", 04755, 1'650'000'000)
            .file("Notes.app/Contents/Info.plist", "<plist/>", 0640)
            .symlink("Notes.app/Contents/MacOS/current", "notes")
            .writeZip(path(u"archive.zip"_s));
        extractArchive(path(u"archive.zip"_s), path(u"work/extracted"_s));

        const QString macOS = path(u"work/extracted/Notes.app/Contents/MacOS/"_s);
        struct stat info {};
        QCOMPARE(::stat(QFile::encodeName(macOS + u"notes"_s).constData(), &info), 0);
        QCOMPARE(info.st_mode & 07777, mode_t(0755)); // exec kept, set-id dropped
        QCOMPARE(qint64(info.st_mtime), qint64(1'650'000'000));
        QCOMPARE(::stat(QFile::encodeName(macOS).constData(), &info), 0);
        QCOMPARE(qint64(info.st_mtime), qint64(1'600'000'000));
        QCOMPARE(::stat(QFile::encodeName(macOS + u"../Info.plist"_s).constData(), &info), 0);
        QCOMPARE(info.st_mode & 07777, mode_t(0640));
        QCOMPARE(QFileInfo(macOS + u"current"_s).symLinkTarget(), macOS + u"notes"_s);
    }

    void refusesHostileArchives_data() {
        QTest::addColumn<ArchiveMaker>("make");
        QTest::addColumn<bool>("tar");
        QTest::addColumn<ExtractionLimits>("limits");
        QTest::addColumn<QString>("reason");
        const ExtractionLimits standard;
        const auto row = [](const char* name, const char* reason, ArchiveMaker make,
                            ExtractionLimits limits = {}, bool tar = false) {
            QTest::newRow(name) << make << tar << limits << QString::fromLatin1(reason);
        };
        using Outside = const QByteArray&;
        row("dot-dot", "leads out with \\.\\.",
            [](TestArchive& a, auto) { a.file("ok", "x").file("a/../../../escaped", "x"); });
        row("absolute", "is absolute",
            [](TestArchive& a, Outside outside) { a.file(outside + "/planted", "x"); });
        row("through symlink", "symlink", [](TestArchive& a, Outside outside) {
            a.symlink("link", outside).file("link/planted", "x");
        });
        row(
            "hard link out (tar)", "Unrecognized archive format",
            [](TestArchive& a, Outside outside) {
                a.hardlink("link", outside + "/target").file("link", "changed");
            },
            standard, true);
        row("socket", "not a file", [](TestArchive& a, auto) { a.special("socket", S_IFSOCK); });
        row("device", "not a file", [](TestArchive& a, auto) { a.special("null", S_IFCHR); });
        row("twice", "comes twice",
            [](TestArchive& a, auto) { a.directory("d/").symlink("d", "/"); });
        row("size", "more than 1000 bytes",
            [](TestArchive& a, auto) {
                a.file("a", QByteArray(600, 'a')).file("b", QByteArray(600, 'b'));
            },
            {1000, standard.maximumEntries});
        row("entries", "more than 3 entries",
            [](TestArchive& a, auto) {
                a.file("a", "").file("b", "").directory("c").file("d", "");
            },
            {standard.maximumUnpackedBytes, 3});
    }

    void refusesHostileArchives() {
        QFETCH(ArchiveMaker, make);
        QFETCH(bool, tar);
        QFETCH(ExtractionLimits, limits);
        QFETCH(QString, reason);
        TestArchive archive;
        make(archive, QFile::encodeName(path(u"outside"_s)));
        tar ? archive.writeTar(path(u"archive.zip"_s)) : archive.writeZip(path(u"archive.zip"_s));
        QVERIFY(!QTest::currentTestFailed());

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"failed:.*"_s + reason));
        try {
            extractArchive(path(u"archive.zip"_s), path(u"work/extracted"_s), limits);
            QFAIL("the archive was unpacked");
        } catch (const AppInstallerError& error) {
            QCOMPARE(error.kind(), AppInstallerError::Case::extractionFailed);
        }
        QCOMPARE(strayPaths(dir_.path(), u"work/extracted"_s,
                            {u"archive.zip"_s, u"work"_s, u"work/extracted"_s, u"outside"_s,
                             u"outside/target"_s}),
                 QStringList());
        QFile target(path(u"outside/target"_s));
        QVERIFY(target.open(QIODevice::ReadOnly));
        QCOMPARE(target.readAll(), QByteArray("original"));
    }

    void download_data() {
        QTest::addColumn<Respond>("respond");
        QTest::addColumn<bool>("ipv6");
        QTest::addColumn<QString>("url"); // %1: the server's port, %2: the temporary folder
        QTest::addColumn<QString>("expected");
        const Respond whole = answer(200, archiveBody);
        QTest::newRow("length") << whole << false << u"http://127.0.0.1:%1/a.zip"_s << u"ok"_s;
        QTest::newRow("no length") << answer(200, archiveBody, false) << false
                                   << u"http://LocalHost:%1/a.zip"_s << u"ok"_s;
        QTest::newRow("[::1]") << whole << true << u"http://[::1]:%1/a.zip"_s << u"ok"_s;
        QTest::newRow("file") << whole << false << u"file://%2/source.zip"_s << u"ok"_s;
        QTest::newRow("404") << answer(404, "gone") << false << u"http://127.0.0.1:%1/"_s
                             << u"downloadFailed"_s;
        QTest::newRow("500") << answer(500, archiveBody) << false << u"http://localhost:%1/"_s
                             << u"downloadFailed"_s;
        // Qt ends a reply cut short sometimes with an error, sometimes without: a few tries.
        for (const char* tag : {"drop 1", "drop 2", "drop 3", "drop 4"})
            QTest::newRow(tag) << answer(200, archiveBody, true, 100'000) << false
                               << u"http://127.0.0.1:%1/"_s << u"network"_s;
        QTest::newRow("https") << whole << false << u"https://127.0.0.1:%1/"_s << u"network"_s;
        for (const QString& url :
             {u"http://127.0.0.2:%1/"_s, u"ftp://127.0.0.1:%1/"_s, u"http://example.com/"_s,
              u"http://localhost.example/"_s, u"http:/a.zip"_s, u"%2/source.zip"_s})
            QTest::newRow(qPrintable(url))
                << whole << false << url << u"unsupportedDownloadScheme"_s;
    }

    void download() {
        QFETCH(Respond, respond);
        QFETCH(bool, ipv6);
        QFETCH(QString, url);
        QFETCH(QString, expected);
        RawServer server(respond, ipv6 ? QHostAddress::LocalHostIPv6 : QHostAddress::LocalHost);
        QFile source(path(u"source.zip"_s));
        QVERIFY(source.open(QIODevice::WriteOnly) && source.write(archiveBody) > 0);
        source.close();
        QList<TransferProgress> reports;
        const QString archive = path(u"work/download.zip"_s);

        const std::exception_ptr failure =
            outcomeOf(
                downloadArchive(sharedNetworkAccessManager(),
                                QUrl(url.replace(u"%1"_s, QString::number(server.serverPort()))
                                         .replace(u"%2"_s, dir_.path())),
                                archive, [&](const TransferProgress& p) { reports.append(p); }))
                .error;

        QCOMPARE(kindOf(failure), expected);
        if (expected != u"ok"_s) {
            QVERIFY(!QFile::exists(archive));
            return;
        }
        QFile file(archive);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll() == archiveBody);
        QVERIFY(!reports.isEmpty());
        const bool lengthKnown = qstrcmp(QTest::currentDataTag(), "no length") != 0;
        for (qsizetype i = 0; i < reports.size(); ++i) {
            QVERIFY(reports[i].received <= archiveBody.size());
            QVERIFY(i == 0 || reports[i].received >= reports[i - 1].received);
            QCOMPARE(reports[i].total,
                     lengthKnown ? std::optional(archiveBody.size()) : std::optional<qint64>());
        }
    }

    void cancel_data() {
        QTest::addColumn<bool>("before");
        QTest::newRow("before") << true;
        QTest::newRow("during") << false;
    }

    void cancel() {
        QFETCH(bool, before);
        RawServer server(answer(200, archiveBody, true, 100'000, true));
        const QString archive = path(u"work/download.zip"_s);
        CancellationToken token;
        bool progressed = false;
        if (before)
            token.cancel();
        QCoro::Task<> downloading = downloadArchive(
            sharedNetworkAccessManager(), QUrl(u"http://127.0.0.1:%1/"_s.arg(server.serverPort())),
            archive, [&](const TransferProgress& p) { progressed = p.received > 0; }, token);
        if (!before) {
            QVERIFY(QTest::qWaitFor([&] { return progressed; }));
            token.cancel();
        }
        QCOMPARE(kindOf(outcomeOf(std::move(downloading)).error), u"cancelled"_s);
        QCOMPARE(server.requests, before ? 0 : 1);
        QVERIFY(!QFile::exists(archive));
    }
};

NIMBARA_TEST_MAIN(TestInstallExtract)
#include "tst_install_extract.moc"
