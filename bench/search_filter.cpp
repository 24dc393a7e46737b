// Measures one keystroke in the library's search field: re-filtering the all-apps section of a
// 10,000-app catalog for the new search text, as the library does it (its search index is built
// when the list changes, not per keystroke). The baseline is copying the section's unfiltered
// list (the visible apps) out of the catalog. A keystroke must stay well within one frame
// (16 ms). The first search after a list change, index build included, is shown as well.
#include "catalog/launcher_manifest.h"
#include "catalog/manifest_policy.h"
#include "presentation/library_rules.h"
#include "sample_words.h"

#include <QElapsedTimer>
#include <QTextStream>
#include <algorithm>
#include <vector>

using namespace nimbara;

namespace {

constexpr int appCount = 10'000;
constexpr int runsPerQuery = 41;

using nimbara::bench::words;

LauncherManifest catalog() {
    LauncherManifest manifest;
    for (int i = 0; i < appCount; ++i) {
        AppManifestItem app;
        app.id = QStringLiteral("app-%1").arg(i);
        app.name = QStringLiteral("App %1 ").arg(i) + words(i, 2);
        app.tagline = words(i + 3, 8);
        app.category = i % 3 ? QStringLiteral("Productivity") : QStringLiteral("Utilities");
        app.bundleId = QStringLiteral("com.nimbara.") + app.id;
        app.version = QStringLiteral("1.2.3");
        app.minMacOS = QStringLiteral("13.5");
        app.status = i % 5 == 0 ? AppReleaseStatus::comingSoon : AppReleaseStatus::live;
        app.symbolName = QStringLiteral("square.grid.2x2");
        app.tags = {words(i, 1), words(i + 5, 1), words(i + 9, 1)};
        app.description = words(i + 1, 60);
        app.privacyNote = words(i + 2, 20);
        manifest.apps.append(std::move(app));
    }
    return manifest;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main() {
    const LauncherManifest manifest = catalog();
    const QSet<QString> starters;
    const QHash<QString, AppInstallState> states;
    const LibraryInputs inputs{manifest, true, starters, states};
    // What the field holds after each keystroke of a typical search, ending in no match.
    const QStringList keystrokes{QStringLiteral("n"),       QStringLiteral("no"),
                                 QStringLiteral("not"),     QStringLiteral("note"),
                                 QStringLiteral("notes"),   QStringLiteral("notes "),
                                 QStringLiteral("notes b"), QStringLiteral("notes bx")};

    const AppSearchIndex index(sectionBaseApps(SidebarSection::AllApps, inputs));

    qsizetype sink = 0;
    std::vector<double> filterTimes;
    std::vector<double> baselineTimes;
    std::vector<double> coldTimes;
    QElapsedTimer timer;
    for (int run = 0; run < runsPerQuery; ++run) {
        for (const QString& text : keystrokes) {
            // Alternating spreads any load on the machine over all three.
            timer.start();
            sink += ManifestPolicy::visibleApps(manifest, true).size();
            baselineTimes.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);

            timer.start();
            sink += index.matching(text).size();
            filterTimes.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);

            timer.start();
            sink += filteredApps(SidebarSection::AllApps, inputs, text).size();
            coldTimes.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        }
    }

    const double filter = median(filterTimes);
    const double baseline = median(baselineTimes);
    QTextStream out(stdout);
    out << "catalog: " << appCount << " apps; " << filterTimes.size() << " keystrokes timed "
        << "(checksum " << sink << ")\n";
    out << "unfiltered visible list copied (baseline): " << baseline << " ms, median\n";
    out << "first search after a list change (index build + filter): " << median(coldTimes)
        << " ms, median\n";
    out << "keystroke re-filter, all apps: " << filter << " ms, median (target < 16 ms)\n";
    out << "ratio: " << filter / baseline << "\n";
    return 0;
}
