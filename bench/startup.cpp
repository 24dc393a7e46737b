// Measures how fast the launcher shows its first frame, and how much memory it holds once a
// 200-app catalog has loaded, against a baseline measured in the same run: the smallest Qt Quick
// program (a QGuiApplication showing one Rectangle). Both run as separate processes with the
// offscreen platform and software rendering, in a temporary home; the launcher loads its catalog
// from a real nimbara-devserver. The first frame is timed from the request to start a process to
// the arrival of its "first-frame-ms" line (the processes' own figures, since their creation, are
// only exact to a clock tick and are shown beside it); the ratio compares those medians.
//
// `bench_startup --baseline-window` is the baseline program itself.
#include "platform/process_report.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QQmlApplicationEngine>
#include <QQuickWindow>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <atomic>
#include <optional>

using namespace nimbara;

namespace {

constexpr int appCount = 200;
constexpr int measuredRuns = 5;
constexpr int waitMs = 60'000; // guard against a hung process only
constexpr qint64 firstFrameTargetMs = 300;
constexpr qint64 rssTargetKb = 120 * 1024;

// --- The baseline program -----------------------------------------------------------------

int runBaselineWindow(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QQmlApplicationEngine engine;
    engine.loadData("import QtQuick\n"
                    "import QtQuick.Window\n"
                    "Window { visible: true; width: 1060; height: 720\n"
                    "  Rectangle { anchors.fill: parent; color: \"#101114\" } }\n");
    if (engine.rootObjects().isEmpty()) {
        return 1;
    }
    auto* window = qobject_cast<QQuickWindow*>(engine.rootObjects().first());
    std::atomic<bool> seen{false};
    QObject::connect(
        window, &QQuickWindow::frameSwapped, window,
        [&seen, window] {
            if (seen.exchange(true)) {
                return;
            }
            const qint64 atMs = millisecondsSinceProcessStart().value_or(-1);
            QMetaObject::invokeMethod(
                window,
                [atMs] {
                    printReportLine(QStringLiteral("first-frame-ms: %1").arg(atMs));
                    printReportLine(
                        QStringLiteral("rss-kb: %1").arg(residentSetKilobytes().value_or(-1)));
                },
                Qt::QueuedConnection);
        },
        Qt::DirectConnection);
    return app.exec();
}

// --- The catalog ----------------------------------------------------------------------------

QString words(int seed, int count) {
    static const QStringList vocabulary{
        QStringLiteral("quick"),    QStringLiteral("notes"),     QStringLiteral("focus"),
        QStringLiteral("private"),  QStringLiteral("offline"),   QStringLiteral("menu"),
        QStringLiteral("bar"),      QStringLiteral("keyboard"),  QStringLiteral("timer"),
        QStringLiteral("colour"),   QStringLiteral("clipboard"), QStringLiteral("window"),
        QStringLiteral("shortcut"), QStringLiteral("calm"),      QStringLiteral("tidy")};
    QStringList chosen;
    for (int i = 0; i < count; ++i) {
        chosen.append(vocabulary[(seed * 7 + i * 13) % vocabulary.size()]);
    }
    return chosen.join(QLatin1Char(' '));
}

QJsonObject catalogApp(int i) {
    static const QStringList accents{QStringLiteral("lime"), QStringLiteral("violet"),
                                     QStringLiteral("amber"), QStringLiteral("blue"),
                                     QStringLiteral("cyan")};
    static const QStringList categories{QStringLiteral("Productivity"), QStringLiteral("Utilities"),
                                        QStringLiteral("Developer Tools"), QStringLiteral("Focus")};
    const QString id = QStringLiteral("app-%1").arg(i);
    // Mostly live apps; every 7th is beta, every 11th coming soon, every 23rd retired.
    const QString status = i % 23 == 0   ? QStringLiteral("retired")
                           : i % 11 == 0 ? QStringLiteral("comingSoon")
                           : i % 7 == 0  ? QStringLiteral("beta")
                                         : QStringLiteral("live");
    const QString version = QStringLiteral("%1.%2.%3").arg(i % 3 + 1).arg(i % 10).arg(i % 4);
    QJsonObject object{
        {QStringLiteral("id"), id},
        {QStringLiteral("name"), words(i, 2).toUpper().left(1) + words(i, 2).mid(1)},
        {QStringLiteral("tagline"), words(i + 1, 7)},
        {QStringLiteral("category"), categories[i % categories.size()]},
        {QStringLiteral("bundleId"), QStringLiteral("com.nimbara.") + id},
        {QStringLiteral("version"), version},
        {QStringLiteral("minMacOS"), QStringLiteral("5.10")},
        {QStringLiteral("status"), status},
        {QStringLiteral("symbolName"), QStringLiteral("square.grid.2x2")},
        {QStringLiteral("accent"), accents[i % accents.size()]},
        {QStringLiteral("tags"), QJsonArray{words(i, 1), words(i + 3, 1)}},
        {QStringLiteral("description"), words(i + 2, 40)},
        {QStringLiteral("privacyNote"), words(i + 4, 12)},
        {QStringLiteral("releaseNotes"),
         QJsonArray{QJsonObject{{QStringLiteral("version"), version},
                                {QStringLiteral("date"), QStringLiteral("2026-04-2%1").arg(i % 9)},
                                {QStringLiteral("text"), words(i + 5, 14)}}}},
    };
    if (status != QLatin1String("comingSoon")) {
        object.insert(QStringLiteral("downloadUrl"),
                      QStringLiteral("http://127.0.0.1/downloads/%1-%2.zip").arg(id, version));
        object.insert(QStringLiteral("sha256"), QString(64, QLatin1Char('a' + i % 6)));
    }
    return object;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

QByteArray catalogDocument() {
    QJsonArray apps;
    for (int i = 1; i <= appCount; ++i) {
        apps.append(catalogApp(i));
    }
    const QJsonObject document{
        {QStringLiteral("generatedAt"), QStringLiteral("2026-05-03T00:00:00Z")},
        {QStringLiteral("apps"), apps},
        {QStringLiteral("announcements"), QJsonArray()}};
    return QJsonDocument(document).toJson(QJsonDocument::Compact);
}

// --- Running and measuring ------------------------------------------------------------------

struct Sample {
    // From the benchmark's request to start the process until the first-frame line arrived:
    // includes fork and exec, and is exact to the microsecond.
    qint64 observedFirstFrameUs = -1;
    // What the process reports itself: since its creation, exact to one clock tick (10 ms).
    qint64 firstFrameMs = -1;
    qint64 catalogLoadedMs = -1; // launcher only
    qint64 rssKb = -1;
};

// Runs `program` until it has reported what we measure, then kills it.
std::optional<Sample> measure(const QString& program, const QStringList& arguments,
                              const QProcessEnvironment& environment, bool launcher,
                              QString& problem) {
    static const QRegularExpression firstFrame(QStringLiteral("^first-frame-ms: (\\d+)$"));
    static const QRegularExpression catalogLoaded(
        QStringLiteral("^catalog-loaded-ms: (\\d+) rss-kb: (\\d+)$"));
    static const QRegularExpression rss(QStringLiteral("^rss-kb: (\\d+)$"));

    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer sinceStart;
    sinceStart.start();
    process.start(program, arguments);
    Sample sample;
    QByteArray pending;
    bool done = false;
    while (!done && process.waitForReadyRead(waitMs)) {
        pending += process.readAllStandardOutput();
        qsizetype newline;
        while ((newline = pending.indexOf('\n')) >= 0) {
            const QString line = QString::fromUtf8(pending.left(newline));
            pending.remove(0, newline + 1);
            if (const auto m = firstFrame.match(line); m.hasMatch()) {
                sample.firstFrameMs = m.captured(1).toLongLong();
                sample.observedFirstFrameUs = sinceStart.nsecsElapsed() / 1000;
            } else if (const auto m = catalogLoaded.match(line); m.hasMatch()) {
                sample.catalogLoadedMs = m.captured(1).toLongLong();
                sample.rssKb = m.captured(2).toLongLong();
            } else if (const auto m = rss.match(line); m.hasMatch()) {
                sample.rssKb = m.captured(1).toLongLong();
            }
            done = sample.firstFrameMs >= 0 && sample.rssKb >= 0 &&
                   (!launcher || sample.catalogLoadedMs >= 0);
        }
    }
    process.kill();
    process.waitForFinished(waitMs);
    if (!done) {
        problem = QStringLiteral("%1 did not report its start-up (exit code %2)")
                      .arg(program)
                      .arg(process.exitCode());
        return std::nullopt;
    }
    return sample;
}

qint64 median(QList<qint64> values) {
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

qint64 best(const QList<qint64>& values) {
    return *std::min_element(values.begin(), values.end());
}

QList<qint64> field(const QList<Sample>& samples, qint64 Sample::*member) {
    QList<qint64> values;
    for (const Sample& sample : samples) {
        values.append(sample.*member);
    }
    return values;
}

QString milliseconds(qint64 us) {
    return QString::number(double(us) / 1000.0, 'f', 1);
}

QString megabytes(qint64 kb) {
    return QString::number(double(kb) / 1024.0, 'f', 1);
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && qstrcmp(argv[1], "--baseline-window") == 0) {
        return runBaselineWindow(argc, argv);
    }
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
#if defined(NIMBARA_LAUNCHER_PATH) && defined(NIMBARA_DEVSERVER_PATH)
    const QString launcher = QString::fromUtf8(NIMBARA_LAUNCHER_PATH);
    const QString devServer = QString::fromUtf8(NIMBARA_DEVSERVER_PATH);
#else
    // The build's layout: build/bench, build/src/ui, build/tools/devserver.
    const QDir build(QCoreApplication::applicationDirPath() + QStringLiteral("/.."));
    const QString launcher = build.filePath(QStringLiteral("src/ui/nimbara"));
    const QString devServer = build.filePath(QStringLiteral("tools/devserver/nimbara-devserver"));
#endif

    QTemporaryDir work;
    const QDir dir(work.path());
    for (const char* sub :
         {"root", "home", "config/nimbara", "cache", "data", "state", "runtime"}) {
        dir.mkpath(QString::fromLatin1(sub));
    }
    QFile::setPermissions(dir.filePath(QStringLiteral("runtime")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    // Onboarding already done, so the catalog lands in the library, as on every later start.
    const QByteArray preferences =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
        "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
        "<plist version=\"1.0\"><dict><key>nimbara.onboardingComplete</key><true/></dict>"
        "</plist>\n";
    if (!writeFile(dir.filePath(QStringLiteral("root/catalog.json")), catalogDocument()) ||
        !writeFile(dir.filePath(QStringLiteral("config/nimbara/preferences.plist")), preferences)) {
        out << "cannot write the benchmark's files in " << work.path() << "\n";
        return 1;
    }

    QProcess server;
    server.setStandardErrorFile(QProcess::nullDevice()); // its request log
    server.start(devServer, {QStringLiteral("--root"), dir.filePath(QStringLiteral("root")),
                             QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--db"),
                             dir.filePath(QStringLiteral("reports.sqlite"))});
    QByteArray banner;
    while (!banner.contains('\n') && server.waitForReadyRead(waitMs)) {
        banner += server.readAllStandardOutput();
    }
    const auto listening = QRegularExpression(QStringLiteral("listening on (http://\\S+)"))
                               .match(QString::fromUtf8(banner));
    if (!listening.hasMatch()) {
        out << "nimbara-devserver did not start: " << banner << "\n";
        return 1;
    }
    const QString base = listening.captured(1);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const auto set = [&](const char* name, const QString& value) {
        environment.insert(QString::fromLatin1(name), value);
    };
    set("HOME", dir.filePath(QStringLiteral("home")));
    set("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")));
    set("XDG_CACHE_HOME", dir.filePath(QStringLiteral("cache")));
    set("XDG_DATA_HOME", dir.filePath(QStringLiteral("data")));
    set("XDG_STATE_HOME", dir.filePath(QStringLiteral("state")));
    set("XDG_RUNTIME_DIR", dir.filePath(QStringLiteral("runtime")));
    set("QT_QPA_PLATFORM", QStringLiteral("offscreen"));
    set("QT_QUICK_BACKEND", QStringLiteral("software"));
    set("NIMBARA_REPORT_STARTUP", QStringLiteral("1"));
    set("NIMBARA_WINDOW_SIZE", QStringLiteral("1060x720"));
    set("NIMBARA_MANIFEST_URL", base + QStringLiteral("/api/launcher/manifest"));
    set("NIMBARA_API_URL", base);

    const QString self = QCoreApplication::applicationFilePath();
    const QStringList baselineArguments{QStringLiteral("--baseline-window")};
    QList<Sample> launcherSamples;
    QList<Sample> baselineSamples;
    QString problem;
    // One unmeasured run of each first fills the caches a real start finds warm (QML cache,
    // fonts); then the two alternate.
    for (int run = 0; run <= measuredRuns; ++run) {
        const auto ours = measure(launcher, {}, environment, true, problem);
        const auto theirs = measure(self, baselineArguments, environment, false, problem);
        if (!ours || !theirs) {
            out << problem << "\n";
            server.kill();
            server.waitForFinished(waitMs);
            return 1;
        }
        if (run > 0) {
            launcherSamples.append(*ours);
            baselineSamples.append(*theirs);
        }
    }
    server.kill();
    server.waitForFinished(waitMs);

    const auto frames = [](const QList<Sample>& samples) {
        return field(samples, &Sample::observedFirstFrameUs);
    };
    const qint64 ourFrameUs = median(frames(launcherSamples));
    const qint64 theirFrameUs = median(frames(baselineSamples));
    const qint64 ourRss = median(field(launcherSamples, &Sample::rssKb));
    out << "start-up: " << appCount << "-app catalog from nimbara-devserver, offscreen, software "
        << "rendering, " << measuredRuns << " runs each after one warm-up\n";
    out << "first frame, from the request to start the process to its report line:\n";
    out << "  launcher: best " << milliseconds(best(frames(launcherSamples))) << " ms, median "
        << milliseconds(ourFrameUs) << " ms (target < " << firstFrameTargetMs
        << " ms: " << (ourFrameUs < firstFrameTargetMs * 1000 ? "met" : "NOT met") << ")\n";
    out << "  baseline (QGuiApplication + one Rectangle): best "
        << milliseconds(best(frames(baselineSamples))) << " ms, median "
        << milliseconds(theirFrameUs) << " ms\n";
    out << "as the processes report it (since creation, 10 ms resolution), median: launcher "
        << median(field(launcherSamples, &Sample::firstFrameMs)) << " ms, baseline "
        << median(field(baselineSamples, &Sample::firstFrameMs)) << " ms; launcher catalog shown "
        << median(field(launcherSamples, &Sample::catalogLoadedMs)) << " ms\n";
    out << "resident memory: launcher with the catalog shown best "
        << megabytes(best(field(launcherSamples, &Sample::rssKb))) << " MB, median "
        << megabytes(ourRss) << " MB (target < " << rssTargetKb / 1024
        << " MB: " << (ourRss < rssTargetKb ? "met" : "NOT met") << "); baseline median "
        << megabytes(median(field(baselineSamples, &Sample::rssKb))) << " MB\n";
    out << "ratio: "
        << QString::number(double(ourFrameUs) / double(std::max<qint64>(theirFrameUs, 1)), 'f', 2)
        << "\n";
    return 0;
}
