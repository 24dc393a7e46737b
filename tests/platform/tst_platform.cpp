#include "install/installed_bundle_metadata.h"
#include "install/installed_code_validation_error.h"
#include "nimbara/build_info.h"
#include "platform/info_plist.h"
#include "platform/linux_app_workspace.h"
#include "platform/linux_main_bundle.h"
#include "platform/running_processes.h"
#include "platform/system_information.h"
#include "support/temp_home.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <csignal>
#include <unistd.h>

using namespace nimbara;
using Case = AppLaunchResult::Case;

Q_DECLARE_METATYPE(nimbara::AppLaunchResult::Case)

namespace {

QByteArray xmlPlist(const QByteArray& entries) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>" + entries +
           "</dict>\n</plist>\n";
}

QByteArray infoFor(const QByteArray& id, const QByteArray& extra = {}) {
    return xmlPlist("<key>CFBundleIdentifier</key><string>" + id +
                    "</string><key>CFBundleShortVersionString</key><string>1.0</string>" + extra);
}

void writeFile(const QString& path, const QByteArray& bytes, bool executable = false) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
    file.close();
    if (executable) {
        QVERIFY(file.setPermissions(file.permissions() | QFileDevice::ExeOwner));
    }
}

QString freshFolder() {
    static int counter = 0;
    const QString folder = QDir::homePath() + QStringLiteral("/case-%1").arg(++counter);
    QDir().mkpath(folder);
    return folder;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestPlatform : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Ends every instance a case started, including any second one a faulty launch let through.
    void cleanup() {
        for (const QString& bundle : std::as_const(launched_)) {
            for (const qint64 pid : processesRunningFrom(bundle)) {
                ::kill(static_cast<pid_t>(pid), SIGKILL);
            }
        }
        launched_.clear();
    }

    void bundleMetadata_data() {
        QTest::addColumn<QByteArray>("plist");   // null: no Info.plist at all
        QTest::addColumn<QString>("identifier"); // empty: unreadableBundle expected
        QTest::newRow("xml") << infoFor("com.example.xml") << u"com.example.xml"_qs;
        QTest::newRow("binary")
            << QByteArray::fromHex(
                   "62706c6973743030d2010203045f1012434642756e646c654964656e7469666965725f101a4346"
                   "42756e646c6553686f727456657273696f6e537472696e675f1012636f6d2e6578616d706c652e"
                   "62696e61727953312e30080d223f5400000000000001010000000000000005000000000000000"
                   "00000000000000058")
            << u"com.example.binary"_qs;
        QTest::newRow("missing file") << QByteArray() << QString();
        QTest::newRow("empty file") << QByteArray("") << QString();
        QTest::newRow("garbage") << QByteArray("\x01\x02not a plist{") << QString();
        QTest::newRow("top-level array")
            << QByteArray("<plist version=\"1.0\"><array><string>a</string></array></plist>")
            << QString();
        QTest::newRow("missing version")
            << xmlPlist("<key>CFBundleIdentifier</key><string>a.b</string>") << QString();
        QTest::newRow("empty identifier") << infoFor("") << QString();
        QTest::newRow("number version")
            << xmlPlist("<key>CFBundleIdentifier</key><string>a.b</string>"
                        "<key>CFBundleShortVersionString</key><real>1.5</real>")
            << QString();
    }

    void bundleMetadata() {
        QFETCH(QByteArray, plist);
        QFETCH(QString, identifier);
        const QString bundle = freshFolder() + QStringLiteral("/Some.app");
        QDir().mkpath(bundle);
        if (!plist.isNull()) {
            writeFile(infoPlistPath(bundle), plist);
        }
        try {
            const InstalledBundleMetadata metadata =
                loadInstalledBundleMetadata(QUrl::fromLocalFile(bundle));
            QVERIFY2(!identifier.isEmpty(), "an unreadable bundle was accepted");
            QCOMPARE(metadata, (InstalledBundleMetadata{identifier, u"1.0"_qs}));
        } catch (const InstalledCodeValidationError& error) {
            QVERIFY2(identifier.isEmpty(), qPrintable(error.rendering()));
            QCOMPARE(error.kind(), InstalledCodeValidationError::Case::unreadableBundle);
            QVERIFY(!error.description().isEmpty());
        }
    }

    void infoPlistValueTypes() {
        const auto info = parsePropertyListDictionary(
            xmlPlist("<key>s</key><string>x</string><key>i</key><integer>-3</integer>"
                     "<key>big</key><integer>5000000000</integer><key>r</key><real>1.5</real>"
                     "<key>t</key><true/><key>d</key><data>AP8=</data>"
                     "<key>a</key><array><string>u</string><integer>2</integer></array>"
                     "<key>n</key><dict><key>k</key><string>v</string></dict>"));
        QVERIFY(info);
        const QVariantMap expected{{u"s"_qs, u"x"_qs},
                                   {u"i"_qs, qint64(-3)},
                                   {u"big"_qs, qint64(5000000000)},
                                   {u"r"_qs, 1.5},
                                   {u"t"_qs, true},
                                   {u"d"_qs, QByteArray("\x00\xff", 2)},
                                   {u"a"_qs, QVariantList{u"u"_qs, qint64(2)}},
                                   {u"n"_qs, QVariantMap{{u"k"_qs, u"v"_qs}}}};
        QCOMPARE(*info, expected);
        QCOMPARE(info->value(u"i"_qs).typeId(), QMetaType::LongLong);
    }

    void kernelRelease_data() {
        QTest::addColumn<QString>("release");
        QTest::addColumn<QList<qint64>>("expected");
        QTest::newRow("debian") << u"6.1.0-28-amd64"_qs << QList<qint64>{6, 1, 0};
        QTest::newRow("two parts") << u"5.15"_qs << QList<qint64>{5, 15, 0};
        QTest::newRow("one part") << u"6"_qs << QList<qint64>{6, 0, 0};
        QTest::newRow("no digits") << u"abc"_qs << QList<qint64>{0, 0, 0};
        QTest::newRow("four parts") << u"6.1.0.9"_qs << QList<qint64>{6, 1, 0};
        QTest::newRow("plus suffix") << u"4.19.0+"_qs << QList<qint64>{4, 19, 0};
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
        QTest::newRow("install root first") << u"com.example.shared"_qs << u"Nimbara/Zed.app"_qs;
        QTest::newRow("top level before nested") << u"com.example.top"_qs << u"Top.app"_qs;
        QTest::newRow("one level below") << u"com.example.nested"_qs << u"Tools/Nested.app"_qs;
        QTest::newRow("two levels below") << u"com.example.deep"_qs << QString();
        QTest::newRow("not an .app folder") << u"com.example.plain"_qs << QString();
        QTest::newRow("unknown") << u"com.example.none"_qs << QString();
    }

    void urlForApplication() {
        QFETCH(QString, identifier);
        QFETCH(QString, expected);
        const QString apps = freshFolder();
        const QList<std::pair<const char*, QByteArray>> bundles{
            {"Nimbara/Zed.app", "com.example.shared"},
            {"Alpha.app", "com.example.shared"},
            {"Folder/Other.app", "com.example.top"},
            {"Top.app", "com.example.top"},
            {"Tools/Nested.app", "com.example.nested"},
            {"Tools/Deeper/Deep.app", "com.example.deep"},
            {"Plain", "com.example.plain"},
            {"Tools/Broken.app", ""}};
        for (const auto& [path, id] : bundles) {
            writeFile(infoPlistPath(apps + u'/' + QLatin1String(path)),
                      id.isEmpty() ? QByteArray("garbage") : infoFor(id));
        }
        const LinuxAppWorkspace workspace(apps + u"/Nimbara"_qs, apps);
        const std::optional<QUrl> found = workspace.urlForApplication(identifier);
        QCOMPARE(found, expected.isEmpty() ? std::optional<QUrl>()
                                           : QUrl::fromLocalFile(apps + u'/' + expected));
    }

    void openApplicationStartsOneInstance() {
        const QString sleep = QStandardPaths::findExecutable(u"sleep"_qs);
        QVERIFY(!sleep.isEmpty());
        const QString bundle = QFileInfo(freshFolder()).canonicalFilePath() + u"/Runner.app"_qs;
        const QString marker = bundle + u".started"_qs;
        writeFile(
            infoPlistPath(bundle),
            infoFor("com.example.runner", "<key>CFBundleExecutable</key><string>runner</string>"));
        // The script records its PID and working folder, then becomes a copy of sleep inside
        // the bundle, so that /proc/PID/exe shows the instance as running from the bundle.
        writeFile(bundle + u"/Contents/MacOS/runner"_qs,
                  "#!/bin/sh\necho \"$$ $(pwd)\" >> '" + marker.toUtf8() +
                      "'\nexec ./Contents/MacOS/helper 600\n",
                  true);
        QVERIFY(QFile::copy(sleep, bundle + u"/Contents/MacOS/helper"_qs));

        LinuxAppWorkspace workspace{QString(), QString()};
        const QUrl url = QUrl::fromLocalFile(bundle);
        launched_.append(bundle);
        const AppLaunchResult first = workspace.launchApplication(url);
        QCOMPARE(first.kind, Case::started);
        QTRY_COMPARE(processesRunningFrom(bundle), QList<qint64>{first.pid});
        QCOMPARE(readFile(marker), QByteArray::number(first.pid) + ' ' + bundle.toUtf8() + '\n');
        QVERIFY(::getsid(static_cast<pid_t>(first.pid)) != ::getsid(0));

        QCOMPARE(workspace.launchApplication(url).kind, Case::alreadyRunning);
        workspace.openApplication(url);
        QCOMPARE(processesRunningFrom(bundle), QList<qint64>{first.pid});
        QCOMPARE(readFile(marker).count('\n'), 1);
    }

    void launchRefused_data() {
        QTest::addColumn<QByteArray>("executableEntry");
        QTest::newRow("parent folder") << QByteArray("<string>../escape</string>");
        QTest::newRow("dot dot") << QByteArray("<string>..</string>");
        QTest::newRow("link outside") << QByteArray("<string>outside</string>");
        QTest::newRow("not executable") << QByteArray("<string>plain</string>");
        QTest::newRow("number") << QByteArray("<integer>1</integer>");
        QTest::newRow("missing") << QByteArray();
    }

    void launchRefused() {
        QFETCH(QByteArray, executableEntry);
        const QString bundle = freshFolder() + u"/Refused.app"_qs;
        const QString marker = bundle + u".started"_qs;
        const QByteArray script = "#!/bin/sh\ntouch '" + marker.toUtf8() + "'\n";
        writeFile(infoPlistPath(bundle),
                  infoFor("com.example.refused",
                          executableEntry.isNull()
                              ? QByteArray()
                              : "<key>CFBundleExecutable</key>" + executableEntry));
        writeFile(bundle + u"/Contents/escape"_qs, script, true);
        writeFile(bundle + u"/Contents/MacOS/plain"_qs, script);
        writeFile(bundle + u"/../outside"_qs, script, true);
        QVERIFY(QFile::link(bundle + u"/../outside"_qs, bundle + u"/Contents/MacOS/outside"_qs));

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
        QTest::newRow("in a bundle") << u"X.app/Contents/MacOS/nimbara"_qs << u"X.app"_qs << true;
        QTest::newRow("plain folder") << u"bin/nimbara"_qs << u"bin"_qs << false;
        QTest::newRow("no .app") << u"X/Contents/MacOS/nimbara"_qs << u"X/Contents/MacOS"_qs
                                 << false;
    }

    void mainBundle() {
        QFETCH(QString, executable);
        QFETCH(QString, bundle);
        QFETCH(bool, isAppBundle);
        const QString folder = freshFolder();
        for (const char* candidate : {"X.app", "X"}) {
            writeFile(infoPlistPath(folder + u'/' + QLatin1String(candidate)),
                      xmlPlist("<key>CFBundleShortVersionString</key><string>9.8.7</string>"
                               "<key>NimbaraManifestURL</key><string>http://m.test/</string>"));
        }
        const LinuxMainBundle main(folder + u'/' + executable);
        QCOMPARE(main.bundleURL(), QUrl::fromLocalFile(folder + u'/' + bundle));
        QCOMPARE(main.isAppBundle(), isAppBundle);
        QCOMPARE(main.infoValue(u"Unknown"_qs), std::optional<QVariant>());
        if (isAppBundle) {
            QCOMPARE(launcherVersion(main), u"9.8.7"_qs);
            QCOMPARE(main.infoValue(u"NimbaraManifestURL"_qs), QVariant(u"http://m.test/"_qs));
            return;
        }
        const QString version = launcherVersion(main);
        QCOMPARE(version, QString::fromUtf8(build_info::kShortVersion));
        QVERIFY(QRegularExpression(u"^\\d+\\.\\d+\\.\\d+$"_qs).match(version).hasMatch());
        QCOMPARE(main.infoValue(u"CFBundleIdentifier"_qs), QVariant(u"com.nimbara.launcher"_qs));
        const QString manifest = QString::fromUtf8(build_info::kManifestURL);
        QCOMPARE(main.infoValue(u"NimbaraManifestURL"_qs),
                 manifest.isEmpty() ? std::optional<QVariant>() : QVariant(manifest));
    }

private:
    QStringList launched_;
};

NIMBARA_TEST_MAIN(TestPlatform)
#include "tst_platform.moc"
