// Measures decoding a large catalog document (10,000 apps) against a baseline of only parsing
// the same bytes with QJsonDocument::fromJson, which every decode has to do anyway. The ratio
// shows what reading the records costs on top of the parse.
#include "catalog/manifest_coding.h"
#include "sample_words.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>
#include <algorithm>
#include <limits>
#include <utility>

using namespace nimbara;

namespace {

constexpr int appCount = 10'000;
constexpr int announcementCount = 200;
constexpr int rounds = 9;

using nimbara::bench::words;

QJsonObject app(int i) {
    const QString id = QStringLiteral("app-%1").arg(i);
    QJsonObject object{
        {QStringLiteral("id"), id},
        {QStringLiteral("name"), QStringLiteral("App %1").arg(i)},
        {QStringLiteral("tagline"), words(i, 8)},
        {QStringLiteral("category"), QStringLiteral("Productivity")},
        {QStringLiteral("bundleId"), QStringLiteral("com.nimbara.") + id},
        {QStringLiteral("version"),
         QStringLiteral("%1.%2.%3").arg(i % 4 + 1).arg(i % 10).arg(i % 7)},
        {QStringLiteral("minMacOS"), QStringLiteral("13.5")},
        {QStringLiteral("status"),
         i % 5 == 0 ? QStringLiteral("comingSoon") : QStringLiteral("live")},
        {QStringLiteral("symbolName"), QStringLiteral("square.grid.2x2")},
        {QStringLiteral("accent"), i % 2 ? QStringLiteral("violet") : QStringLiteral("cyan")},
        {QStringLiteral("description"), words(i + 1, 60)},
        {QStringLiteral("privacyNote"), words(i + 2, 20)},
        {QStringLiteral("tags"), QJsonArray{words(i, 1), words(i + 3, 1), words(i + 5, 1)}},
    };
    if (i % 5 != 0) {
        object.insert(QStringLiteral("downloadUrl"),
                      QStringLiteral("https://downloads.example.com/%1/%1-1.2.3.zip").arg(id));
        object.insert(QStringLiteral("sha256"), QString(64, QLatin1Char('a' + i % 6)));
    }
    if (i % 3 == 0)
        object.insert(QStringLiteral("sparkleFeedUrl"),
                      QStringLiteral("https://updates.example.com/%1/appcast.xml").arg(id));
    if (i % 2 == 0)
        object.insert(QStringLiteral("iconUrl"),
                      QStringLiteral("https://cdn.example.com/icons/%1.png").arg(id));
    QJsonArray notes;
    for (int n = 0; n < 3 + i % 3; ++n)
        notes.append(QJsonObject{{QStringLiteral("version"), QStringLiteral("1.%1").arg(n)},
                                 {QStringLiteral("date"), QStringLiteral("2026-04-%1").arg(10 + n)},
                                 {QStringLiteral("text"), words(i + n, 15)}});
    object.insert(QStringLiteral("releaseNotes"), notes);
    object.insert(QStringLiteral("featuredRank"), i); // a key the decoder does not know
    return object;
}

QByteArray catalogDocument() {
    QJsonArray apps;
    for (int i = 0; i < appCount; ++i)
        apps.append(app(i));
    QJsonArray announcements;
    for (int i = 0; i < announcementCount; ++i)
        announcements.append(QJsonObject{
            {QStringLiteral("id"), QStringLiteral("launch-%1").arg(i)},
            {QStringLiteral("appId"), QStringLiteral("app-%1").arg(i)},
            {QStringLiteral("appName"), QStringLiteral("App %1").arg(i)},
            {QStringLiteral("kind"), QStringLiteral("newApp")},
            {QStringLiteral("title"), words(i, 4)},
            {QStringLiteral("body"), words(i, 25)},
            {QStringLiteral("version"), QStringLiteral("1.0.0")},
            {QStringLiteral("publishedAt"), QStringLiteral("2026-05-01T09:30:00+02:00")}});
    return QJsonDocument(
               QJsonObject{{QStringLiteral("generatedAt"), QStringLiteral("2026-05-03T00:00:00Z")},
                           {QStringLiteral("apps"), apps},
                           {QStringLiteral("announcements"), announcements}})
        .toJson(QJsonDocument::Compact);
}

struct Timing {
    double call = std::numeric_limits<double>::max();      // until the call returns
    double statement = std::numeric_limits<double>::max(); // and its result is destroyed
};

// Times `run()` until it returns and until its result is destroyed; keeps the best of each.
template <typename Run> void measure(Run& run, Timing& best, qsizetype& sink) {
    QElapsedTimer timer;
    timer.start();
    {
        const auto result = run();
        best.call = std::min(best.call, static_cast<double>(timer.nsecsElapsed()) / 1e6);
        sink += result.size();
    }
    best.statement = std::min(best.statement, static_cast<double>(timer.nsecsElapsed()) / 1e6);
}

// Runs both calls alternately, `rounds` times, and keeps the best times of each in
// milliseconds: alternating spreads any load on the machine over both, and the best time is
// the one least disturbed by it.
template <typename Baseline, typename Measured>
std::pair<Timing, Timing> bestTimes(Baseline baseline, Measured measured, qsizetype& sink) {
    Timing bestBaseline;
    Timing bestMeasured;
    for (int r = 0; r < rounds; ++r) {
        measure(baseline, bestBaseline, sink);
        measure(measured, bestMeasured, sink);
    }
    return {bestBaseline, bestMeasured};
}

} // namespace

int main() {
    const QByteArray bytes = catalogDocument();
    qsizetype sink = 0;

    // One untimed pass of each, so that both start warm.
    sink += QJsonDocument::fromJson(bytes).object().size();
    sink += decodeLauncherManifest(bytes).apps.size();

    const auto [parse, decode] =
        bestTimes([&] { return QJsonDocument::fromJson(bytes).object(); },
                  [&] { return decodeLauncherManifest(bytes).apps; }, sink);

    // The ratio compares whole statements: the parsed document and the decoded catalog are
    // both destroyed inside the measurement, as they are when a caller is done with them. The
    // times until the calls return are shown as well.
    QTextStream out(stdout);
    out << "document: " << appCount << " apps, " << announcementCount << " announcements, "
        << bytes.size() / 1024 << " KiB (checksum " << sink << ")\n";
    out << "QJsonDocument::fromJson (baseline): " << parse.statement << " ms (returning after "
        << parse.call << " ms), best of " << rounds << "\n";
    out << "decodeLauncherManifest: " << decode.statement << " ms (returning after " << decode.call
        << " ms), best of " << rounds << "\n";
    out << "until return: " << decode.call / parse.call << "; target ratio <= 2.5\n";
    out << "ratio: " << decode.statement / parse.statement << "\n";
    return 0;
}
