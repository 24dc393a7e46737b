#include "core/error.h"
#include "core/logging.h"
#include "install/installed_bundle_metadata.h"
#include "install/installed_code_validation_error.h"
#include "nimbara/build_info.h"
#include "platform/detached_task.h"
#include "platform/info_plist.h"
#include "platform/linux_app_workspace.h"
#include "platform/linux_main_bundle.h"
#include "platform/log_file.h"
#include "platform/running_processes.h"
#include "platform/system_information.h"
#include "support/fake_collaborators.h"
#include "support/temp_home.h"
#include "support/test_files.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTest>
#include <QtConcurrent>
#include <csignal>
#include <unistd.h>

using namespace nimbara;
using namespace Qt::StringLiterals;
using Case = AppLaunchResult::Case;
using nimbara::test::writeFile;

namespace {

QByteArray xmlPlist(const QByteArray& entries) {
    return "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict>" + entries + "</dict></plist>";
}

QByteArray infoFor(const QByteArray& id, const QByteArray& extra = {}) {
    return xmlPlist("<key>CFBundleIdentifier</key><string>" + id +
                    "</string><key>CFBundleShortVersionString</key><string>1.0</string>" + extra);
}

QCoro::Task<> failLater(test::Gate& gate, bool& reached, bool ours) {
    co_await gate;
    reached = true;
    if (ours) {
        throw FileError(u"disk full"_s);
    }
    throw 42;
}

} // namespace

class TestPlatform : public QObject {
    Q_OBJECT

    QString folder_;       // a fresh folder for each case, with its real path
    QStringList launched_; // bundles whose instances the case ends

private Q_SLOTS:
    void init() {
        static int counter = 0;
        folder_ = QDir::homePath() + u"/case-%1"_s.arg(++counter);
        QDir().mkpath(folder_);
        folder_ = QFileInfo(folder_).canonicalFilePath();
    }

    // Ends every instance a case started, including any second one a faulty launch let through.
    void cleanup() {
        for (const QString& bundle : std::as_const(launched_)) {
            for (const qint64 pid : processesRunningFrom(bundle))
                ::kill(static_cast<pid_t>(pid), SIGKILL);
        }
        launched_.clear();
    }

    void bundleMetadata_data() {
        QTest::addColumn<QByteArray>("plist");   // null: no Info.plist at all
        QTest::addColumn<QString>("identifier"); // empty: unreadableBundle expected
        QTest::newRow("readable") << infoFor("com.example.xml") << u"com.example.xml"_s;
        QTest::newRow("missing file") << QByteArray() << QString();
        QTest::newRow("garbage") << QByteArray("\x01\x02not a plist{") << QString();
        QTest::newRow("empty identifier") << infoFor("") << QString();
        QTest::newRow("number version")
            << xmlPlist("<key>CFBundleIdentifier</key><string>a.b</string>"
                        "<key>CFBundleShortVersionString</key><real>1.5</real>")
            << QString();
        // Bounded before parsing: 64 levels of nesting and 1 MiB at most.
        const auto nested = [](int arrays) {
            return "<key>deep</key>" + QByteArray("<array>").repeated(arrays) +
                   QByteArray("</array>").repeated(arrays);
        };
        QTest::newRow("nested 64 levels") << infoFor("a.deep", nested(63)) << u"a.deep"_s;
        QTest::newRow("nested 30000 levels") << infoFor("a.deep", nested(29999)) << QString();
        QTest::newRow("over 1 MiB")
            << infoFor("a.big", "<key>pad</key><data>" + QByteArray(1024 * 1024, 'A') + "</data>")
            << QString();
    }

    void bundleMetadata() {
        QFETCH(QByteArray, plist);
        QFETCH(QString, identifier);
        const QString bundle = folder_ + u"/Some.app"_s;
        QDir().mkpath(bundle);
        if (!plist.isNull())
            writeFile(infoPlistPath(bundle), plist);
        try {
            const InstalledBundleMetadata metadata =
                loadInstalledBundleMetadata(QUrl::fromLocalFile(bundle));
            QVERIFY2(!identifier.isEmpty(), "an unreadable bundle was accepted");
            QCOMPARE(metadata, (InstalledBundleMetadata{identifier, u"1.0"_s}));
        } catch (const InstalledCodeValidationError& error) {
            QVERIFY2(identifier.isEmpty(), qPrintable(error.rendering()));
            QCOMPARE(error.kind(), InstalledCodeValidationError::Case::unreadableBundle);
        }
    }

    void infoPlistValueTypes() {
        const auto info = parsePropertyListDictionary(
            xmlPlist("<key>i</key><integer>-5000000000</integer><key>r</key><real>1.5</real>"
                     "<key>d</key><data>AP8=</data><key>a</key><array><true/><integer>2</integer>"
                     "</array><key>n</key><dict><key>k</key><string>v</string></dict>"));
        QVERIFY(info);
        QCOMPARE(*info, (QVariantMap{{u"i"_s, qint64(-5000000000)},
                                     {u"r"_s, 1.5},
                                     {u"d"_s, QByteArray("\x00\xff", 2)},
                                     {u"a"_s, QVariantList{true, qint64(2)}},
                                     {u"n"_s, QVariantMap{{u"k"_s, u"v"_s}}}}));
        QCOMPARE(info->value(u"i"_s).typeId(), QMetaType::LongLong);
    }

    void kernelRelease_data() {
        QTest::addColumn<QString>("release");
        QTest::addColumn<QList<qint64>>("expected");
        QTest::newRow("debian") << u"6.1.0-28-amd64"_s << QList<qint64>{6, 1, 0};
        QTest::newRow("no digits") << u"abc"_s << QList<qint64>{0, 0, 0};
        QTest::newRow("plus suffix") << u"4.19.0+"_s << QList<qint64>{4, 19, 0};
    }

    void kernelRelease() {
        QFETCH(QString, release);
        QFETCH(QList<qint64>, expected);
        const OperatingSystemVersion version = versionFromKernelRelease(release);
        QCOMPARE((QList<qint64>{version.major, version.minor, version.patch}), expected);
    }

    void urlForApplication_data() {
        QTest::addColumn<QString>("identifier");
        QTest::addColumn<QString>("expected"); // relative to the case folder; empty: none
        QTest::newRow("install root first") << u"com.example.shared"_s << u"Nimbara/Zed.app"_s;
        QTest::newRow("top level before nested") << u"com.example.top"_s << u"Top.app"_s;
        QTest::newRow("one level below") << u"com.example.nested"_s << u"Tools/Nested.app"_s;
        QTest::newRow("two levels below") << u"com.example.deep"_s << QString();
        QTest::newRow("not an .app folder") << u"com.example.plain"_s << QString();
        QTest::newRow("inside another bundle") << u"com.example.inner"_s << QString();
        QTest::newRow("unknown") << u"com.example.none"_s << QString();
    }

    void urlForApplication() {
        QFETCH(QString, identifier);
        QFETCH(QString, expected);
        const QList<std::pair<const char*, QByteArray>> bundles{
            {"Nimbara/Zed.app", "com.example.shared"},
            {"Alpha.app", "com.example.shared"},
            {"Folder/Other.app", "com.example.top"},
            {"Top.app", "com.example.top"},
            {"Tools/Nested.app", "com.example.nested"},
            {"Tools/Deeper/Deep.app", "com.example.deep"},
            {"Plain", "com.example.plain"},
            {"Top.app/Inner.app", "com.example.inner"},
            {"Tools/Broken.app", ""}};
        for (const auto& [path, id] : bundles)
            writeFile(infoPlistPath(folder_ + u'/' + QLatin1StringView(path)),
                      id.isEmpty() ? QByteArray("garbage") : infoFor(id));
        const LinuxAppWorkspace workspace(folder_ + u"/Nimbara"_s, folder_);
        QCOMPARE(workspace.urlForApplication(identifier),
                 expected.isEmpty() ? std::optional<QUrl>()
                                    : QUrl::fromLocalFile(folder_ + u'/' + expected));
    }

    void openApplicationStartsOneInstance() {
        const QString sleep = QStandardPaths::findExecutable(u"sleep"_s);
        QVERIFY(!sleep.isEmpty());
        const QString bundle = folder_ + u"/Runner.app"_s;
        const QString marker = bundle + u".started"_s;
        writeFile(
            infoPlistPath(bundle),
            infoFor("com.example.runner", "<key>CFBundleExecutable</key><string>run</string>"));
        // The script records its PID and working folder, then becomes a copy of sleep inside
        // the bundle, so that /proc/PID/exe shows the instance as running from the bundle.
        writeFile(bundle + u"/Contents/MacOS/run"_s,
                  "#!/bin/sh\necho \"$$ $(pwd)\" >> '" + marker.toUtf8() +
                      "'\nexec ./Contents/MacOS/helper 600\n",
                  true);
        QVERIFY(QFile::copy(sleep, bundle + u"/Contents/MacOS/helper"_s));

        LinuxAppWorkspace workspace{QString(), QString()};
        const QUrl url = QUrl::fromLocalFile(bundle);
        launched_.append(bundle);
        const AppLaunchResult first = workspace.launchApplication(url);
        QCOMPARE(first.kind, Case::started);
        // Generous: a shell starting under a loaded machine (the suites run in parallel) is slow.
        // The shell counts as running from the bundle (its script lies there) before it has
        // written the marker, so the marker is waited for too.
        QTRY_COMPARE_WITH_TIMEOUT(test::readBytes(marker),
                                  QByteArray::number(first.pid) + ' ' + bundle.toUtf8() + '\n',
                                  30000);
        QTRY_COMPARE_WITH_TIMEOUT(processesRunningFrom(bundle), QList<qint64>{first.pid}, 30000);
        QVERIFY(::getsid(static_cast<pid_t>(first.pid)) != ::getsid(0));

        QCOMPARE(workspace.launchApplication(url).kind, Case::alreadyRunning);
        workspace.openApplication(url);
        QCOMPARE(processesRunningFrom(bundle), QList<qint64>{first.pid});
        QCOMPARE(test::readBytes(marker).count('\n'), 1);
    }

    void launchRefused_data() {
        QTest::addColumn<QByteArray>("executableEntry");
        QTest::newRow("parent folder") << QByteArray("<string>../escape</string>");
        QTest::newRow("link outside") << QByteArray("<string>outside</string>");
        QTest::newRow("not executable") << QByteArray("<string>plain</string>");
        QTest::newRow("number") << QByteArray("<integer>1</integer>");
        QTest::newRow("missing") << QByteArray();
    }

    void launchRefused() {
        QFETCH(QByteArray, executableEntry);
        const QString bundle = folder_ + u"/Refused.app"_s;
        const QString marker = bundle + u".started"_s;
        const QByteArray script = "#!/bin/sh\ntouch '" + marker.toUtf8() + "'\n";
        writeFile(infoPlistPath(bundle),
                  infoFor("com.example.refused",
                          executableEntry.isNull()
                              ? QByteArray()
                              : "<key>CFBundleExecutable</key>" + executableEntry));
        writeFile(bundle + u"/Contents/escape"_s, script, true);
        writeFile(bundle + u"/Contents/MacOS/plain"_s, script);
        writeFile(folder_ + u"/outside"_s, script, true);
        QVERIFY(QFile::link(folder_ + u"/outside"_s, bundle + u"/Contents/MacOS/outside"_s));

        LinuxAppWorkspace workspace{QString(), QString()};
        const AppLaunchResult result = workspace.launchApplication(QUrl::fromLocalFile(bundle));
        QCOMPARE(result.kind, Case::failed);
        QVERIFY(!result.problem.isEmpty());
        QVERIFY(!QFile::exists(marker));
    }

    void mainBundle_data() {
        QTest::addColumn<QString>("executable"); // relative to the case folder
        QTest::addColumn<QString>("bundle");
        QTest::addColumn<bool>("isAppBundle");
        QTest::newRow("in a bundle") << u"X.app/Contents/MacOS/nimbara"_s << u"X.app"_s << true;
        QTest::newRow("plain folder") << u"bin/nimbara"_s << u"bin"_s << false;
        QTest::newRow("no .app") << u"Plain/Contents/MacOS/nimbara"_s << u"Plain/Contents/MacOS"_s
                                 << false;
    }

    void mainBundle() {
        QFETCH(QString, executable);
        QFETCH(QString, bundle);
        QFETCH(bool, isAppBundle);
        for (const QString& candidate : {u"X.app"_s, u"Plain"_s})
            writeFile(infoPlistPath(folder_ + u'/' + candidate),
                      xmlPlist("<key>CFBundleShortVersionString</key><string>9.8.7</string>"
                               "<key>NimbaraManifestURL</key><string>http://m.test/</string>"));
        const LinuxMainBundle main(folder_ + u'/' + executable);
        QCOMPARE(main.bundleURL(), QUrl::fromLocalFile(folder_ + u'/' + bundle));
        QCOMPARE(main.isAppBundle(), isAppBundle);
        QCOMPARE(main.infoValue(u"Unknown"_s), std::optional<QVariant>());
        if (isAppBundle) {
            QCOMPARE(launcherVersion(main), u"9.8.7"_s);
            QCOMPARE(main.infoValue(u"NimbaraManifestURL"_s), QVariant(u"http://m.test/"_s));
            return;
        }
        // Outside a bundle the values built into the launcher answer.
        QCOMPARE(launcherVersion(main), QString::fromUtf8(build_info::kShortVersion));
        QCOMPARE(main.infoValue(u"CFBundleIdentifier"_s), QVariant(u"com.nimbara.launcher"_s));
    }

    // What escapes a task nobody awaits is logged with its reason, and the process goes on.
    void detachedTaskFailureIsLogged() {
        for (const bool ours : {true, false}) {
            test::Gate gate;
            bool reached = false;
            QTest::ignoreMessage(QtWarningMsg, ours ? "saving failed: disk full "
                                                      "[FileError(\"disk full\")]"
                                                    : "saving failed: unknown error");
            startDetached(failLater(gate, reached, ours), logPlatform(), u"saving"_s);
            gate.open();
            QTRY_VERIFY(reached); // the wrapper logs in the same resumption
        }
    }

    // Lines from several threads land whole in the file, which never passes its cap.
    void logFileKeepsItsCap() {
        const QString path = defaultLogFilePath();
        QCOMPARE(path, qEnvironmentVariable("XDG_STATE_HOME") + u"/nimbara/nimbara.log"_s);
        constexpr qint64 cap = 2048;
        installMessageLog(path, cap);
        const auto removal = qScopeGuard([] { removeMessageLog(); });
        QList<QFuture<void>> writers;
        for (int writer = 0; writer < 3; ++writer) {
            writers.append(QtConcurrent::run([writer] {
                for (int line = 0; line < 30; ++line)
                    qCInfo(logPlatform, "writer %d line %d", writer, line);
            }));
        }
        for (QFuture<void>& writer : writers)
            writer.waitForFinished();
        qCWarning(logStore, "last line");
        removeMessageLog();
        qCWarning(logStore, "after removal");

        const QByteArray current = test::readBytes(path);
        const QByteArray previous = test::readBytes(path + u".1"_s);
        QVERIFY(!previous.isEmpty());
        QVERIFY2(current.size() <= cap && previous.size() <= cap, current + previous);
        QVERIFY2(current.endsWith(" warning nimbara.store: last line\n"), current);
        const QRegularExpression written(u"^\\S+ info nimbara.platform: writer [0-2] line \\d+$"_s);
        const QList<QByteArray> lines = (previous + current).trimmed().split('\n');
        QVERIFY(lines.size() > 20);
        for (const QByteArray& line : lines.mid(0, lines.size() - 1))
            QVERIFY2(written.match(QString::fromUtf8(line)).hasMatch(), line.constData());
    }
};

NIMBARA_TEST_MAIN(TestPlatform)
#include "tst_platform.moc"
