// Quitting running apps and moving apps and their data to the Trash, with real processes and
// real files in a temporary home.
#include "core/error.h"
#include "install/app_uninstaller.h"
#include "install/proc_running_app_terminator.h"
#include "platform/freedesktop_trash.h"
#include "support/sample_bundle.h"
#include "support/task_outcome.h"
#include "support/temp_home.h"
#include "support/test_files.h"

#include <QCoro/QCoroTimer>
#include <QDirIterator>
#include <QProcess>
#include <QScopeGuard>
#include <QTest>
#include <memory>

using namespace nimbara;
using namespace Qt::StringLiterals;
using nimbara::test::writeFile;
using std::chrono::milliseconds;

namespace {

// Unique to this run, so that instances left by another run are never taken for this one's.
const QString kID = u"com.example.notes-%1"_s.arg(QCoreApplication::applicationPid());

QCoro::Task<> recordedPause(QList<milliseconds>* log, milliseconds duration) {
    log->append(duration);
    co_await QCoro::sleepFor(duration);
}

QString sleeperPath() {
    return qEnvironmentVariable("NIMBARA_BUILD_DIR") + u"/tests/nimbara-test-sleeper"_s;
}

// A bundle whose executable `run` is a copy of the sleeper, or `script` when one is given.
void makeBundle(const QString& bundle, const QString& id, const QByteArray& script = {}) {
    writeFile(bundle + u"/Contents/Info.plist"_s,
              test::infoPlist({{u"CFBundleIdentifier"_s, id},
                               {u"CFBundleShortVersionString"_s, u"1.0"_s},
                               {u"CFBundleExecutable"_s, u"run"_s}}));
    const QString executable = bundle + u"/Contents/MacOS/run"_s;
    writeFile(executable, script.isNull() ? test::readBytes(sleeperPath()) : script, true);
}

// Every file and folder under `root` with its contents, the Trash left out.
QMap<QString, QByteArray> snapshot(const QString& root) {
    QMap<QString, QByteArray> tree;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (path.contains(u"/Trash"_s))
            continue;
        QFile file(path);
        tree.insert(path, file.open(QIODevice::ReadOnly) ? file.readAll() : "<folder>");
    }
    return tree;
}

// Moves everything in the Trash back to the Path its .trashinfo records; the names restored.
QStringList restoreTrash(const QString& trash) {
    QStringList restored;
    for (const QString& name :
         QDir(trash + u"/files"_s)
             .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
        QFile info(trash + u"/info/"_s + name + u".trashinfo"_s);
        if (!info.open(QIODevice::ReadOnly))
            return {u"no record for "_s + name};
        const QByteArray record = info.readAll();
        const qsizetype at = record.indexOf("\nPath=") + 6;
        const QString origin =
            QUrl::fromPercentEncoding(record.mid(at, record.indexOf('\n', at) - at));
        if (at < 6 || !QDir().rename(trash + u"/files/"_s + name, origin))
            return {u"cannot restore "_s + name};
        restored.append(origin);
    }
    return restored;
}

} // namespace

class TestUninstall : public QObject {
    Q_OBJECT

    std::vector<std::unique_ptr<QProcess>> processes_;
    QList<milliseconds> pauses_;
    ProcRunningAppTerminator terminator_{[this](milliseconds d) {
        return recordedPause(&pauses_, d);
    }};

    QProcess& start(const QString& program, const QStringList& arguments) {
        processes_.push_back(std::make_unique<QProcess>());
        QProcess& process = *processes_.back();
        process.start(program, arguments);
        if (!process.waitForReadyRead(30000))
            qFatal("the test program did not start");
        return process;
    }

private Q_SLOTS:
    void cleanup() {
        for (const auto& process : processes_) {
            process->disconnect();
            process->kill();
            process->waitForFinished();
        }
        processes_.clear();
        pauses_.clear();
    }

    void terminate_data() {
        QTest::addColumn<QString>("option"); // empty: the app is not running
        QTest::addColumn<bool>("script");    // run as a script with the sleeper as interpreter
        QTest::addColumn<double>("timeout");
        QTest::addColumn<QProcess::ExitStatus>("ending");
        QTest::newRow("not running") << QString() << false << 5.0 << QProcess::NormalExit;
        QTest::newRow("quits 300 ms after SIGTERM")
            << u"--quit-after-term"_s << false << 5.0 << QProcess::NormalExit;
        QTest::newRow("ignores SIGTERM")
            << u"--ignore-term"_s << false << 0.3 << QProcess::CrashExit;
        QTest::newRow("no time-out") << u"--ignore-term"_s << false << 0.0 << QProcess::CrashExit;
        QTest::newRow("script") << u"--ignore-term"_s << true << 0.3 << QProcess::CrashExit;
    }

    void terminate() {
        QFETCH(QString, option);
        QFETCH(bool, script);
        QFETCH(double, timeout);
        QFETCH(QProcess::ExitStatus, ending);
        const QString home =
            QDir::homePath() + u"/terminate-"_s + QString::fromLatin1(QTest::currentDataTag());
        makeBundle(home + u"/Notes.app"_s, kID,
                   script ? "#!" + sleeperPath().toUtf8() + ' ' + option.toUtf8() + '\n'
                          : QByteArray());
        makeBundle(home + u"/Other.app"_s, u"com.example.other"_s);
        // Bystanders: another app, and a program merely given the app's Info.plist.
        QProcess& other = start(home + u"/Other.app/Contents/MacOS/run"_s, {});
        QProcess& reader = start(sleeperPath(), {home + u"/Notes.app/Contents/Info.plist"_s});
        QProcess* app = option.isEmpty() ? nullptr
                                         : &start(home + u"/Notes.app/Contents/MacOS/run"_s,
                                                  script ? QStringList() : QStringList{option});

        QCOMPARE(test::outcomeOf(terminator_.terminate(kID, timeout)).value, std::optional(true));
        if (!app) {
            QVERIFY(pauses_.isEmpty());
        } else {
            QVERIFY(app->state() == QProcess::NotRunning || app->waitForFinished(30000));
            QCOMPARE(app->exitStatus(), ending);
            QCOMPARE(pauses_.contains(ProcRunningAppTerminator::kPollInterval), timeout > 0);
        }
        QCOMPARE(other.state(), QProcess::Running);
        QCOMPARE(reader.state(), QProcess::Running);
    }

    void removeApp_data() {
        QTest::addColumn<QString>("recorded");    // relative to the home; empty: none recorded
        QTest::addColumn<QStringList>("bundles"); // "<path relative to the home>=<identifier>"
        QTest::addColumn<QString>("id");
        QTest::addColumn<QStringList>("files");   // other files present, relative to the home
        QTest::addColumn<QStringList>("trashed"); // the bundle (if any), then the data in order
        QTest::addColumn<QStringList>("problems");
        const QString root = u"Applications/Nimbara/"_s, cache = u".cache/"_s + kID;
        const QStringList none, noBundle{AppUninstaller::noBundleProblem()};
        QTest::newRow("recorded") << root + u"Notes.app"_s
                                  << QStringList{root + u"Notes.app="_s + kID} << kID << none
                                  << QStringList{root + u"Notes.app"_s} << none;
        QTest::newRow("recorded gone, found by identifier")
            << root + u"Old.app"_s << QStringList{root + u"Renamed.app="_s + kID} << kID << none
            << QStringList{root + u"Renamed.app"_s} << none;
        QTest::newRow("recorded holds a stranger")
            << root + u"Notes.app"_s
            << QStringList{root + u"Notes.app=com.example.stranger"_s, root + u"Real.app="_s + kID}
            << kID << none << QStringList{root + u"Real.app"_s} << none;
        QTest::newRow("recorded holds a user's folder")
            << u"Documents"_s << QStringList{u"Applications/Tools/Notes.app="_s + kID} << kID
            << QStringList{u"Documents/letter.txt"_s}
            << QStringList{u"Applications/Tools/Notes.app"_s} << none;
        QTest::newRow("two bundles with one identifier")
            << QString() << QStringList{root + u"A.app="_s + kID, root + u"B.app="_s + kID} << kID
            << none << QStringList{root + u"A.app"_s} << none;
        QTest::newRow("no bundle, data in order, only what exists")
            << QString() << QStringList{root + u"Other.app=com.example.other"_s} << kID
            << QStringList{u".local/state/"_s + kID, cache + u"/blob"_s, u".config/"_s + kID}
            << QStringList{cache, u".config/"_s + kID, u".local/state/"_s + kID} << noBundle;
        for (const QString& hostile : {u".."_s, u"a/../../b"_s, u"com.example/x"_s})
            QTest::addRow("hostile %s", qPrintable(hostile))
                << QString() << none << hostile
                << QStringList{u".local/b"_s, u".local/share/com.example/x"_s} << none
                << noBundle + QStringList{AppUninstaller::unsafeIdentifierProblem(hostile)};
    }

    // Only what the outcome names goes to the Trash, each with a record it can be restored from.
    void removeApp() {
        QFETCH(QString, recorded);
        QFETCH(QStringList, bundles);
        QFETCH(QString, id);
        QFETCH(QStringList, files);
        QFETCH(QStringList, trashed);
        QFETCH(QStringList, problems);
        test::TempHome temporaryHome;
        const QString home = QDir::homePath() + u'/';
        for (const QString& entry : bundles)
            makeBundle(home + entry.section(u'=', 0, 0), entry.section(u'=', 1));
        for (const QString& path : files)
            writeFile(home + path, path.toUtf8());
        const auto before = snapshot(home);

        AppUninstaller uninstaller(AppUninstaller::Settings::forCurrentUser());
        const std::optional<QUrl> location =
            recorded.isEmpty() ? std::nullopt : std::optional(QUrl::fromLocalFile(home + recorded));
        const auto outcome =
            test::outcomeOf(uninstaller.removeApp({u"notes"_s, id, location, true})).value;
        QVERIFY(outcome);
        QCOMPARE(outcome->appID, u"notes"_s);
        QCOMPARE(outcome->problems, problems);
        const bool bundle = !trashed.isEmpty() && trashed.first().endsWith(u".app"_s);
        QCOMPARE(outcome->removedBundle, bundle);
        QList<QUrl> data;
        for (const QString& path : trashed.mid(bundle ? 1 : 0))
            data.append(QUrl::fromLocalFile(home + path));
        QCOMPARE(outcome->removedDataPaths, data);

        QStringList restored = restoreTrash(home + u".local/share/Trash"_s);
        restored.replaceInStrings(home, QString());
        restored.sort();
        trashed.sort();
        QCOMPARE(restored, trashed);
        QCOMPARE(snapshot(home), before);
    }

    void trashWithoutDataHome_data() {
        QTest::addColumn<QString>("variable"); // $XDG_DATA_HOME, relative to the home
        QTest::addColumn<QString>("trash");    // the Trash, relative to the home; empty: refused
        QTest::newRow("missing folder") << u"/not-yet/share"_s << u"/not-yet/share/Trash"_s;
        // Qt takes the relative value as it is and falls into the same trap.
        QTest::newRow("relative value") << u"relative"_s << QString();
    }

    // Qt 6.4 moves the item under the current folder when $XDG_DATA_HOME does not exist yet.
    void trashWithoutDataHome() {
        QFETCH(QString, variable);
        QFETCH(QString, trash);
        test::TempHome home;
        const QString work = QDir::homePath() + u"/work"_s;
        qputenv("XDG_DATA_HOME",
                (variable.startsWith(u'/') ? QDir::homePath() + variable : variable).toLocal8Bit());
        const QString previous = QDir::currentPath();
        QDir().mkpath(work);
        QDir::setCurrent(work);
        const auto back = qScopeGuard([&] { QDir::setCurrent(previous); });
        writeFile(QDir::homePath() + u"/item.txt"_s, "item");

        QString failure;
        try {
            moveToTrash(QUrl::fromLocalFile(QDir::homePath() + u"/item.txt"_s));
        } catch (const FileError& error) {
            failure = error.description();
        }
        QCOMPARE(failure.isEmpty(), !trash.isEmpty());
        QCOMPARE(QFileInfo::exists(QDir::homePath() + u"/item.txt"_s), trash.isEmpty());
        if (!trash.isEmpty()) {
            QVERIFY(QFileInfo::exists(QDir::homePath() + trash + u"/files/item.txt"_s));
            QVERIFY(QFileInfo::exists(QDir::homePath() + trash + u"/info/item.txt.trashinfo"_s));
        }
        QCOMPARE(QDir(work).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
    }

    void trashSelf_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("info"); // empty: nothing there
        QTest::addColumn<SelfTrashResult::Case>("result");
        QTest::addColumn<QString>("message"); // a part of the failure's message
        const QByteArray managed =
            "<plist version=\"1.0\"><dict><key>NimbaraPackageManaged</key><true/></dict></plist>";
        QTest::newRow("bundle") << u"Nimbara.app"_s << QByteArray("plist")
                                << SelfTrashResult::Case::trashed << QString();
        QTest::newRow("build folder") << u"build/src/ui"_s << QByteArray("plist")
                                      << SelfTrashResult::Case::skippedNotAppBundle << QString();
        QTest::newRow("missing bundle")
            << u"Gone.app"_s << QByteArray() << SelfTrashResult::Case::failed << u"Gone.app"_s;
        QTest::newRow("the system package's bundle")
            << u"opt/Nimbara.app"_s << managed << SelfTrashResult::Case::failed
            << u"package manager"_s;
        QTest::newRow("a mark that is not a Boolean")
            << u"Nimbara.app"_s << QByteArray(managed).replace("<true/>", "<string>yes</string>")
            << SelfTrashResult::Case::trashed << QString();
    }

    void trashSelf() {
        QFETCH(QString, path);
        QFETCH(QByteArray, info);
        QFETCH(SelfTrashResult::Case, result);
        QFETCH(QString, message);
        test::TempHome home;
        const QString location = QDir::homePath() + u'/' + path;
        const bool exists = !info.isEmpty();
        if (exists)
            writeFile(location + u"/Contents/Info.plist"_s, info);
        AppUninstaller uninstaller(AppUninstaller::Settings::forCurrentUser());
        const SelfTrashResult outcome = uninstaller.trashSelf(QUrl::fromLocalFile(location));
        QCOMPARE(outcome.kind, result);
        QVERIFY2(outcome.message.contains(message), qPrintable(outcome.message));
        QCOMPARE(QFileInfo::exists(location), exists && result != SelfTrashResult::Case::trashed);
    }
};

NIMBARA_TEST_MAIN(TestUninstall)
#include "tst_uninstall.moc"
