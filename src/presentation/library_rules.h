#pragma once

#include "catalog/app_accent.h"
#include "catalog/app_install_state.h"
#include "catalog/app_manifest_item.h"
#include "catalog/catalog_lifecycle.h"
#include "catalog/launcher_manifest.h"
#include "presentation/sidebar_section.h"
#include "text/copy_key.h"
#include "text/nimbara_locale.h"

#include <QHash>
#include <QLatin1StringView>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>

// What the library screen shows, as pure functions of the store's values. Every list keeps
// catalog order; nothing here sorts.
namespace nimbara {

// What the library reads from the store to build its lists.
struct LibraryInputs {
    const LauncherManifest& catalog;
    bool includeBeta = true;
    const QSet<QString>& starterAppIDs;
    const QHash<QString, AppInstallState>& installStates; // missing entries: notInstalled
};

// The search text without surrounding white space and line breaks, lower-cased.
QString normalizedSearchQuery(QStringView searchText);

// The unfiltered list of a section: every visible app (allApps), the published starter-selected
// apps (selected), the published apps with an update (updates); empty for home and settings.
QList<AppManifestItem> sectionBaseApps(SidebarSection section, const LibraryInputs& inputs);

// A list of apps prepared for searching: the searched texts are lower-cased once, so that a
// keystroke only scans them. Keeps the list's order.
class AppSearchIndex {
public:
    AppSearchIndex() = default;
    explicit AppSearchIndex(QList<AppManifestItem> apps);

    const QList<AppManifestItem>& apps() const { return apps_; }
    // The apps whose lower-cased name, tagline, category, or tags joined with single spaces
    // (tested in that order) contain the normalized search text; a blank search keeps them all.
    // Description, id and bundle identifier are not searched.
    QList<AppManifestItem> matching(QStringView searchText) const;

private:
    struct Entry {
        QString name;
        QString tagline;
        QString category;
        QString tags;
    };
    QList<AppManifestItem> apps_;
    QList<Entry> entries_;
};

// The section's base list narrowed by the search text; a blank search keeps the whole list.
QList<AppManifestItem> filteredApps(SidebarSection section, const LibraryInputs& inputs,
                                    QStringView searchText);

// Which block the library shows under its header.
namespace LibraryPanels {
Q_NAMESPACE
enum class LibraryPanel {
    EmptyCatalog,      // home, empty catalog
    ComingSoon,        // home, only previews: intro panel above the preview tiles
    FirstPublishedApp, // home, one published app: the featured card
    AppSection,        // a titled grid of tiles (home with several published apps, or a list)
    EmptyState,        // settings: the generic empty state alone
};
Q_ENUM_NS(LibraryPanel)
} // namespace LibraryPanels
using LibraryPanels::LibraryPanel;
LibraryPanel libraryPanel(SidebarSection section, CatalogLifecycleKind lifecycle);

enum class EmptyStateKind { generic, selected, updates };

struct EmptyStateContent {
    QLatin1StringView symbol;
    CopyKey title;
    CopyKey body;
};
EmptyStateContent emptyStateContent(EmptyStateKind kind);

// Title key and empty-state kind of a titled app section. Home (several published apps) is
// the published-apps section.
struct AppSectionHeading {
    CopyKey title;
    EmptyStateKind emptyKind;
};
AppSectionHeading appSectionHeading(SidebarSection section);

// A tile's status text: the preview text for coming-soon apps, else the install state's label.
QString tileStatus(const AppManifestItem& app, const AppInstallState& state, NimbaraLocale locale);

// A tile's status symbol: a clock in amber for previews, otherwise a star (filled when the app
// is in the starter selection) in lime.
struct StatusSymbol {
    QLatin1StringView symbol;
    AppAccent accent;
    bool operator==(const StatusSymbol&) const = default;
};
StatusSymbol statusSymbol(const AppManifestItem& app, const QSet<QString>& starterAppIDs);

// A move of the selection through the tile grid by the arrow keys.
enum class GridMove { left, right, up, down };

// The tile a move reaches from tile `from` in a grid of `count` tiles laid out row by row in
// `columns` columns: one step left or right, one row (`columns` steps) up or down, clamped to
// the first and the last tile. Without a tile to start from (`from` outside the grid) any move
// reaches the first tile; an empty grid has none (-1).
int gridMoveTarget(int from, GridMove move, int count, int columns);

} // namespace nimbara
