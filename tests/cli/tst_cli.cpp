// nimbara-cli as its users run it: the real executable over the real development server and the
// demo family's signed archives, in a temporary home; every case checks the exit status and what
// the command says (texts from the text table, so a changed text changes the expectation).
#include "../e2e/e2e_world.h"
#include "platform/linux_app_workspace.h"
#include "platform/preferences_store.h"
#include "store/launcher_store.h"
#include "support/raw_http_server.h"
#include "support/test_files.h"
#include "text/nimbara_copy.h"
#include "wiring/preferences_lock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>
#include <csignal>

using namespace nimbara;
using namespace nimbara::test;
using namespace Qt::StringLiterals;

namespace {

constexpr int kGuardMs = 120000; // against a hung command; nothing depends on speed

struct Said {
    CopyKey key;
    CopyValues values;
};

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

QString text(const Said& said, NimbaraLocale locale = NimbaraLocale::en) {
    return NimbaraCopy::text(said.key, locale, said.values);
}

QString trashed(const QString& name) {
    return qEnvironmentVariable("XDG_DATA_HOME") + u"/Trash/files/"_s + name;
}

// The installed versions the preferences file records.
QMap<QString, QString> recordedInstalls() {
    const PreferencesStore preferences(PreferencesStore::defaultPath());
    return loadStringDictionary(preferences, QLatin1String(StoreKeys::installedVersions));
}

QJsonObject listedApp(const Run& run, const QString& id) {
    for (const QJsonValue& value : QJsonDocument::fromJson(run.out.toUtf8()).array()) {
        if (value[u"id"_s] == id)
            return value.toObject();
    }
    return {};
}

QProcessEnvironment cliEnvironment(E2eWorld& world, const QString& language) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"LANGUAGE"_s, language);
    if (DevServerProcess* server = world.server()) {
        environment.insert(u"NIMBARA_MANIFEST_URL"_s,
                           server->url(u"/api/launcher/manifest"_s).toString());
        environment.insert(u"NIMBARA_API_URL"_s, server->url(QString()).toString());
    } else {
        environment.insert(u"NIMBARA_MANIFEST_URL"_s,
                           u"http://127.0.0.1:9/api/launcher/manifest"_s);
    }
    return environment;
}

QString cliProgram() {
    return qEnvironmentVariable("NIMBARA_BUILD_DIR") + u"/tools/cli/nimbara-cli"_s;
}

// Runs nimbara-cli against the world's server, with the test's temporary home, in `language`.
Run cli(E2eWorld& world, const QStringList& arguments, const QString& language = u"en"_s) {
    const QProcessEnvironment environment = cliEnvironment(world, language);
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(cliProgram(), arguments);
    Run run;
    if (process.waitForFinished(kGuardMs) && process.exitStatus() == QProcess::NormalExit)
        run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QString described(const QStringList& arguments, const Run& run) {
    return u"nimbara-cli %1 -> %2\nstdout: %3\nstderr: %4"_s.arg(arguments.join(u' '))
        .arg(run.exitCode)
        .arg(run.out, run.err);
}

} // namespace

Q_DECLARE_METATYPE(Said)

class TestCli : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Command lines that cannot run, and apps that cannot be acted on: each is refused with its
    // own message and exit status, and nothing is installed.
    void refusals_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("minimumSystem"); // of Palette Picker in the served catalog
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<Said>("said"); // on stderr
        const auto row = [](const char* name, QStringList arguments, int exitCode, Said said,
                            QString language = u"en"_s, QString minimumSystem = {}) {
            QTest::newRow(name) << arguments << language << minimumSystem << exitCode << said;
        };
        row("no command", {}, 2, {CopyKey::cliNoCommand, {}});
        row("unknown command", {u"frobnicate"_s}, 2,
            {CopyKey::cliUnknownCommand, {{u"value"_s, u"frobnicate"_s}}});
        row("unknown flag", {u"list"_s, u"--frob"_s}, 2,
            {CopyKey::cliUnknownOption, {{u"value"_s, u"--frob"_s}}});
        row("flag of another command", {u"install"_s, u"lumen-notes"_s, u"--json"_s}, 2,
            {CopyKey::cliOptionNotForCommand,
             {{u"value"_s, u"--json"_s}, {u"name"_s, u"install"_s}}});
        row("missing id", {u"install"_s}, 2, {CopyKey::cliMissingID, {{u"name"_s, u"install"_s}}});
        row("empty id", {u"open"_s, u""_s}, 2, {CopyKey::cliEmptyID, {}});
        row("blank id among others", {u"install"_s, u"lumen-notes"_s, u"  "_s}, 2,
            {CopyKey::cliEmptyID, {}});
        row("two ids for one", {u"open"_s, u"a"_s, u"b"_s}, 2,
            {CopyKey::cliOneID, {{u"name"_s, u"open"_s}}});
        row("update of nothing", {u"update"_s}, 2, {CopyKey::cliUpdateWhich, {}});
        row("unknown id", {u"install"_s, u"no-such-app"_s}, 2,
            {CopyKey::cliUnknownApp, {{u"identifier"_s, u"no-such-app"_s}}});
        row("unknown id after a known one", {u"install"_s, u"lumen-notes"_s, u"nope"_s}, 2,
            {CopyKey::cliUnknownApp, {{u"identifier"_s, u"nope"_s}}});
        row("hidden (retired) app", {u"open"_s, u"menu-weather"_s}, 2,
            {CopyKey::cliUnknownApp, {{u"identifier"_s, u"menu-weather"_s}}});
        row("unknown id, in Polish", {u"remove"_s, u"nope"_s}, 2,
            {CopyKey::cliUnknownApp, {{u"identifier"_s, u"nope"_s}}}, u"pl"_s);
        row("unknown command, in German", {u"zeige"_s}, 2,
            {CopyKey::cliUnknownCommand, {{u"value"_s, u"zeige"_s}}}, u"de"_s);
        row("open, not installed", {u"open"_s, u"lumen-notes"_s}, 1,
            {CopyKey::cliNotInstalled, {{u"app"_s, u"Lumen Notes"_s}}});
        row("remove, not installed", {u"remove"_s, u"tidy-clipboard"_s, u"--with-data"_s}, 1,
            {CopyKey::cliNotInstalled, {{u"app"_s, u"Tidy Clipboard"_s}}});
        row("coming soon", {u"install"_s, u"window-grid"_s}, 1,
            {CopyKey::errorCannotInstall, {{u"app"_s, u"Window Grid"_s}}});
        row("needs a newer system", {u"install"_s, u"palette-picker"_s}, 1,
            {CopyKey::errorCannotInstall, {{u"app"_s, u"Palette Picker"_s}}}, u"en"_s, u"999.0"_s);
    }

    void refusals() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, language);
        QFETCH(QString, minimumSystem);
        QFETCH(int, exitCode);
        QFETCH(Said, said);
        E2eWorld world;
        QVERIFY2(world.problem().isEmpty(), qPrintable(world.problem()));
        if (!minimumSystem.isEmpty())
            world.editServedApp(u"palette-picker"_s, [&](QJsonObject& app) {
                app.insert(u"minMacOS"_s, minimumSystem);
            });
        const Run run = cli(world, arguments, language);
        const NimbaraLocale locale = NimbaraLocales::normalized(language);
        QVERIFY2(run.exitCode == exitCode && run.err.contains(text(said, locale)),
                 qPrintable(described(arguments, run)));
        QVERIFY(QDir(LinuxAppWorkspace::defaultInstallRoot())
                    .entryList(QDir::NoDotAndDotDot | QDir::AllEntries)
                    .isEmpty());
    }

    // --help names every command, option, state word and exit status, in the user's language.
    void help_data() {
        QTest::addColumn<QString>("language");
        QTest::newRow("English") << u"en"_s;
        QTest::newRow("Polish") << u"pl"_s;
        QTest::newRow("German") << u"de"_s;
    }

    void help() {
        QFETCH(QString, language);
        E2eWorld world;
        const Run run = cli(world, {u"--help"_s}, language);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out.trimmed(),
                 NimbaraCopy::text(CopyKey::cliHelp, NimbaraLocales::normalized(language)));
        for (const QString& word :
             {u"list"_s, u"install"_s, u"update"_s, u"rollback"_s, u"open"_s, u"remove"_s,
              u"status"_s, u"--json"_s, u"--all"_s, u"--with-data"_s, u"not-installed"_s,
              u"update-available"_s, u"needs-newer-system"_s, u"coming-soon"_s,
              u"installedVersion"_s, u"  2  "_s})
            QVERIFY2(run.out.contains(word), qPrintable(word));
    }

    // One user's apps from install to removal, each step a command of its own: its exit status,
    // what it says, and what it changed.
    void lifecycle() {
        E2eWorld world;
        QVERIFY2(world.problem().isEmpty(), qPrintable(world.problem()));
        const QString dataFolder =
            qEnvironmentVariable("XDG_DATA_HOME") + u"/com.nimbara.lumen-notes"_s;
        QVERIFY(QDir().mkpath(dataFolder));
        const CopyValues lumen{{u"app"_s, u"Lumen Notes"_s}};
        const auto with = [](CopyValues values, const QString& key, const QString& value) {
            values.insert(key, value);
            return values;
        };
        const auto stateOf = [&](const QString& id) {
            return listedApp(cli(world, {u"list"_s, u"--json"_s}), id);
        };
        const struct Step {
            QStringList arguments;
            QString catalog; // served before the step; empty: as it is
            int exitCode;
            Said said;
            std::function<bool()> holds;
        } steps[] = {
            {{u"install"_s, u"lumen-notes"_s, u"palette-picker"_s},
             {},
             0,
             {CopyKey::cliInstalled, with(lumen, u"version"_s, u"1.4.2"_s)},
             [&] {
                 return stateOf(u"palette-picker"_s)[u"state"_s] == u"installed"_s &&
                        QFileInfo::exists(LinuxAppWorkspace::defaultInstallRoot() +
                                          u"/Lumen Notes.app"_s);
             }},
            {{u"install"_s, u"lumen-notes"_s},
             {},
             0,
             {CopyKey::cliAlreadyInstalled, with(lumen, u"version"_s, u"1.4.2"_s)},
             [] {
                 return true;
             }},
            {{u"open"_s, u"lumen-notes"_s},
             {},
             0,
             {CopyKey::cliOpened, lumen},
             [] {
                 return QTest::qWaitFor(
                     [] { return !runningApp(u"com.nimbara.lumen-notes"_s).isEmpty(); }, kGuardMs);
             }},
            {{u"update"_s, u"--all"_s},
             u"catalog-update"_s,
             0,
             {CopyKey::cliUpdated, with(lumen, u"version"_s, u"1.5.0"_s)},
             [&] {
                 const QJsonObject app = stateOf(u"lumen-notes"_s);
                 return app[u"state"_s] == u"installed"_s &&
                        app[u"installedVersion"_s] == u"1.5.0"_s;
             }},
            {{u"update"_s, u"lumen-notes"_s},
             {},
             0,
             {CopyKey::cliUpToDate, with(lumen, u"version"_s, u"1.5.0"_s)},
             [] {
                 return true;
             }},
            {{u"rollback"_s, u"lumen-notes"_s},
             {},
             0,
             {CopyKey::cliRolledBack, with(lumen, u"version"_s, u"1.4.2"_s)},
             [&] {
                 const QJsonObject app = stateOf(u"lumen-notes"_s);
                 return app[u"state"_s] == u"update-available"_s &&
                        app[u"installedVersion"_s] == u"1.4.2"_s &&
                        app[u"latestVersion"_s] == u"1.5.0"_s;
             }},
            {{u"rollback"_s, u"palette-picker"_s}, // never updated: nothing is kept
             {},
             1,
             {CopyKey::errorRollBackFailed,
              {{u"app"_s, u"Palette Picker"_s},
               {u"reason"_s, NimbaraCopy::text(CopyKey::errorNoKeptCopy, NimbaraLocale::en)}}},
             [] {
                 return true;
             }},
            {{u"remove"_s, u"lumen-notes"_s, u"--with-data"_s},
             {},
             0,
             {CopyKey::cliRemovedWithData, lumen},
             [&] {
                 return QFileInfo::exists(trashed(u"Lumen Notes.app"_s)) &&
                        QFileInfo::exists(trashed(u"com.nimbara.lumen-notes"_s)) &&
                        !QFileInfo::exists(dataFolder) &&
                        stateOf(u"lumen-notes"_s)[u"state"_s] == u"not-installed"_s;
             }},
        };
        for (const Step& step : steps) {
            if (!step.catalog.isEmpty())
                world.serve(step.catalog);
            const Run run = cli(world, step.arguments);
            const QString& said = step.exitCode == 0 ? run.out : run.err;
            QVERIFY2(run.exitCode == step.exitCode && said.contains(text(step.said)),
                     qPrintable(described(step.arguments, run)));
            // Not a terminal: no line is redrawn in place.
            QVERIFY2(!run.err.contains(u'\r'), qPrintable(described(step.arguments, run)));
            QVERIFY2(step.holds(), qPrintable(described(step.arguments, run)));
        }
    }

    // list shows exactly the apps the library shows, with stable keys and state words, as JSON
    // and as aligned columns.
    void list() {
        E2eWorld world;
        QVERIFY2(world.problem().isEmpty(), qPrintable(world.problem()));
        world.editServedApp(u"palette-picker"_s,
                            [](QJsonObject& app) { app.insert(u"minMacOS"_s, u"999.0"_s); });
        world.editServedApp(u"focus-timer"_s, [](QJsonObject& app) { app.remove(u"sha256"_s); });
        const Run json = cli(world, {u"list"_s, u"--json"_s});
        QCOMPARE(json.exitCode, 0);
        QVERIFY2(json.err.isEmpty(), qPrintable(json.err));
        const QJsonArray apps = QJsonDocument::fromJson(json.out.toUtf8()).array();
        QStringList rows;
        for (const QJsonValue& app : apps) {
            QCOMPARE(app.toObject().keys(),
                     (QStringList{u"id"_s, u"installedVersion"_s, u"latestVersion"_s, u"name"_s,
                                  u"state"_s}));
            QVERIFY(app[u"installedVersion"_s].isNull());
            rows.append(app[u"id"_s].toString() + u' ' + app[u"state"_s].toString() + u' ' +
                        app[u"latestVersion"_s].toString());
        }
        QCOMPARE(rows, (QStringList{u"lumen-notes not-installed 1.4.2"_s,
                                    u"tidy-clipboard not-installed 2.1.0"_s,
                                    u"palette-picker needs-newer-system 2.0.0"_s,
                                    u"focus-timer unavailable 0.9.0"_s,
                                    u"window-grid coming-soon 1.0.0"_s}));

        const Run columns = cli(world, {u"list"_s});
        QCOMPARE(columns.exitCode, 0);
        const QStringList lines = columns.out.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), apps.size() + 1);
        const qsizetype stateColumn =
            lines.first().indexOf(NimbaraCopy::text(CopyKey::cliColumnState, NimbaraLocale::en));
        QVERIFY(stateColumn > 0);
        for (qsizetype i = 1; i < lines.size(); ++i) {
            QVERIFY2(lines[i].mid(stateColumn).startsWith(apps[i - 1][u"state"_s].toString()),
                     qPrintable(columns.out));
            QVERIFY(!lines[i].endsWith(u' '));
        }
    }

    // Ctrl+C or SIGTERM while a download stalls cancels the install: status 1, said so, and
    // nothing installed or recorded.
    void interruptedInstall_data() {
        QTest::addColumn<int>("signal");
        QTest::newRow("Ctrl+C") << SIGINT;
        QTest::newRow("SIGTERM") << SIGTERM;
    }

    void interruptedInstall() {
        QFETCH(int, signal);
        E2eWorld world;
        QVERIFY2(world.problem().isEmpty(), qPrintable(world.problem()));
        RawServer stalling(answer(200, QByteArray(4096, 'z'), true, 100, true));
        const QString url = u"http://127.0.0.1:%1/lumen-notes.zip"_s.arg(stalling.serverPort());
        world.editServedApp(u"lumen-notes"_s,
                            [&](QJsonObject& app) { app.insert(u"downloadUrl"_s, url); });
        QProcess process;
        process.setProcessEnvironment(cliEnvironment(world, u"en"_s));
        process.start(cliProgram(), {u"install"_s, u"lumen-notes"_s, u"palette-picker"_s});
        QVERIFY(QTest::qWaitFor([&] { return stalling.requests > 0; }, kGuardMs));
        ::kill(static_cast<pid_t>(process.processId()), signal);
        QVERIFY(QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, kGuardMs));
        const QString errors = QString::fromUtf8(process.readAllStandardError());
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 1);
        QVERIFY2(errors.contains(text({CopyKey::cliInterrupted, {}})), qPrintable(errors));
        QVERIFY(QDir(LinuxAppWorkspace::defaultInstallRoot())
                    .entryList(QDir::NoDotAndDotDot | QDir::AllEntries)
                    .isEmpty());
        QVERIFY(recordedInstalls().isEmpty());
    }

    // While the launcher holds the preferences, commands stand back (status says it runs);
    // a corrupt preferences file is kept aside and the command works; a dead server fails the
    // command with its address, and nothing installed is lost.
    void guardedStates_data() {
        QTest::addColumn<QString>("state"); // "launcher runs", "corrupt preferences", "dead server"
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<Said>("said"); // on stderr, or on stdout for exit status 0
        const QStringList install{u"install"_s, u"palette-picker"_s};
        QTest::newRow("launcher runs: install")
            << u"launcher runs"_s << install << 2 << Said{CopyKey::cliLauncherRunning, {}};
        QTest::newRow("launcher runs: status") << u"launcher runs"_s << QStringList{u"status"_s}
                                               << 0 << Said{CopyKey::cliStatusRunning, {}};
        QTest::newRow("corrupt preferences: install")
            << u"corrupt preferences"_s << install << 0
            << Said{CopyKey::cliInstalled,
                    {{u"app"_s, u"Palette Picker"_s}, {u"version"_s, u"2.0.0"_s}}};
        QTest::newRow("dead server: install")
            << u"dead server"_s << install << 1
            << Said{CopyKey::cliCatalogUnavailable,
                    {{u"value"_s, u"http://127.0.0.1:9/api/launcher/manifest"_s}}};
        QTest::newRow("dead server: list")
            << u"dead server"_s << QStringList{u"list"_s} << 1
            << Said{CopyKey::cliCatalogUnavailable,
                    {{u"value"_s, u"http://127.0.0.1:9/api/launcher/manifest"_s}}};
    }

    void guardedStates() {
        QFETCH(QString, state);
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(Said, said);
        E2eWorld world;
        QVERIFY2(world.problem().isEmpty(), qPrintable(world.problem()));
        const Run first = cli(world, {u"install"_s, u"lumen-notes"_s});
        QCOMPARE(first.exitCode, 0);
        const QString preferences = PreferencesStore::defaultPath();
        const QByteArray corrupt = "<plist><dict><key>broken";
        std::optional<PreferencesLock> launcher;
        if (state == u"launcher runs"_s) {
            launcher.emplace(preferences);
            QCOMPARE(launcher->tryAcquire(), ExclusiveFileLock::Outcome::acquired);
        } else if (state == u"corrupt preferences"_s) {
            QFile file(preferences);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(corrupt);
        } else {
            world.killServer();
        }
        const QByteArray before = readBytes(preferences);

        const Run run = cli(world, arguments);
        const QString& channel = exitCode == 0 ? run.out : run.err;
        QVERIFY2(run.exitCode == exitCode && channel.contains(text(said)),
                 qPrintable(described(arguments, run)));
        const bool installed =
            QFileInfo::exists(LinuxAppWorkspace::defaultInstallRoot() + u"/Palette Picker.app"_s);
        const bool asked = arguments == QStringList{u"install"_s, u"palette-picker"_s};
        QCOMPARE(installed, exitCode == 0 && asked);
        // The Lumen Notes bundle stays, and so does the record of it unless the file was
        // unreadable.
        QVERIFY(QFileInfo::exists(LinuxAppWorkspace::defaultInstallRoot() + u"/Lumen Notes.app"_s));
        if (state == u"corrupt preferences"_s) {
            const QStringList kept =
                QFileInfo(preferences)
                    .dir()
                    .entryList({u"preferences.plist.corrupt-*"_s}, QDir::Files);
            QCOMPARE(kept.size(), 1);
            QCOMPARE(readBytes(QFileInfo(preferences).dir().filePath(kept.first())), corrupt);
            QVERIFY(run.err.contains(u"preferences.plist.corrupt-"_s));
        } else if (state == u"launcher runs"_s) {
            QCOMPARE(readBytes(preferences), before);
        } else {
            QCOMPARE(recordedInstalls(), (QMap<QString, QString>{{u"lumen-notes"_s, u"1.4.2"_s}}));
        }
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
