#pragma once

#include "catalog/catalog_lifecycle.h"
#include "presentation/library_rules.h"
#include "ui/app_list_model.h"
#include "ui/app_presentation.h"
#include "ui/store_view_model.h"

#include <QString>

namespace nimbara {

// The library screen: for the shell's section and search text, which panel to show, its texts
// and the tiles. Choosing an app makes it the store's selected app.
class LibraryViewModel : public nimbara::StoreViewModel {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(nimbara::SidebarSections::SidebarSection section READ section WRITE setSection NOTIFY
                   sectionChanged)
    Q_PROPERTY(QString searchText READ searchText WRITE setSearchText NOTIFY searchTextChanged)
    Q_PROPERTY(nimbara::AppListModel* apps READ apps CONSTANT)
    Q_PROPERTY(nimbara::LibraryPanels::LibraryPanel panel READ panel NOTIFY contentChanged)
    Q_PROPERTY(QString greeting READ greeting NOTIFY contentChanged)
    Q_PROPERTY(QString subtitle READ subtitle NOTIFY contentChanged)
    Q_PROPERTY(QString sectionTitle READ sectionTitle NOTIFY contentChanged)
    Q_PROPERTY(QString sectionSubtitle READ sectionSubtitle NOTIFY contentChanged)
    Q_PROPERTY(bool showsEmptyState READ showsEmptyState NOTIFY contentChanged)
    Q_PROPERTY(QString emptySymbol READ emptySymbol NOTIFY contentChanged)
    Q_PROPERTY(QString emptyTitle READ emptyTitle NOTIFY contentChanged)
    Q_PROPERTY(QString emptyBody READ emptyBody NOTIFY contentChanged)
    // The featured app and its install state's label; empty unless the panel is
    // FirstPublishedApp.
    Q_PROPERTY(nimbara::AppPresentation featured READ featured NOTIFY contentChanged)
    Q_PROPERTY(QString featuredInstallLabel READ featuredInstallLabel NOTIFY contentChanged)
    // Where in the tiles the app the detail column shows is; -1 when it is not among them.
    Q_PROPERTY(int shownIndex READ shownIndex NOTIFY shownIndexChanged)

public:
    explicit LibraryViewModel(QObject* parent = nullptr);

    SidebarSection section() const { return section_; }
    void setSection(SidebarSection section);
    QString searchText() const { return searchText_; }
    void setSearchText(const QString& text);
    AppListModel* apps() { return &apps_; }

    LibraryPanel panel() const { return panel_; }
    QString greeting() const;
    QString subtitle() const;
    QString sectionTitle() const;
    QString sectionSubtitle() const;
    bool showsEmptyState() const;
    QString emptySymbol() const;
    QString emptyTitle() const;
    QString emptyBody() const;
    AppPresentation featured() const;
    QString featuredInstallLabel() const;

    // Makes `appID` the store's selected app; the screen then runs its "app selected" action.
    Q_INVOKABLE void chooseApp(const QString& appID);
    // Starts a catalog load in the background.
    Q_INVOKABLE void refreshCatalog();

    int shownIndex() const;
    // The id of the tile at `index`, or empty.
    Q_INVOKABLE QString appIDAt(int index) const;
    // Moves the selection from the shown tile by the arrow key `key` (a Qt::Key) through a grid
    // of `columns` columns and makes the tile reached the store's selected app. Returns the
    // tile's index, or -1 when `key` is no arrow key or there is no tile.
    Q_INVOKABLE int moveSelection(int key, int columns);

Q_SIGNALS:
    void sectionChanged();
    void searchTextChanged();
    void contentChanged();
    void shownIndexChanged();

protected:
    void observe(LauncherStore& store) override;
    void refresh() override;

private:
    void refreshLabels();
    // Rebuilds the section's base list (and its search index), then filters it.
    void rebuildList();
    // Filters the current base list by the search text.
    void refilter();
    QString text(CopyKey key, const QHash<QString, QString>& values = {}) const;
    EmptyStateContent emptyContent() const;

    SidebarSection section_ = SidebarSection::Home;
    QString searchText_;
    AppListModel apps_;
    CatalogLifecycle lifecycle_;
    AppSearchIndex searchIndex_; // the list sections' base list
    LibraryPanel panel_ = LibraryPanel::EmptyCatalog;
};

} // namespace nimbara
