#pragma once

#include "catalog/catalog_lifecycle.h"
#include "presentation/library_rules.h"
#include "ui/app_list_model.h"
#include "ui/store_view_model.h"

#include <QString>
#include <QVariantMap>

namespace nimbara {

// The library screen: for the shell's section and search text, which panel to show, its texts
// and the tiles. Choosing an app makes it the store's selected app.
class LibraryViewModel : public StoreViewModel {
    Q_OBJECT
    Q_PROPERTY(int section READ section WRITE setSection NOTIFY sectionChanged)
    Q_PROPERTY(QString searchText READ searchText WRITE setSearchText NOTIFY searchTextChanged)
    Q_PROPERTY(nimbara::AppListModel* apps READ apps CONSTANT)
    // "emptyCatalog", "comingSoon", "firstPublishedApp", "appSection" or "emptyState".
    Q_PROPERTY(QString panel READ panel NOTIFY contentChanged)
    Q_PROPERTY(QString greeting READ greeting NOTIFY contentChanged)
    Q_PROPERTY(QString subtitle READ subtitle NOTIFY contentChanged)
    Q_PROPERTY(QString sectionTitle READ sectionTitle NOTIFY contentChanged)
    Q_PROPERTY(QString sectionSubtitle READ sectionSubtitle NOTIFY contentChanged)
    Q_PROPERTY(bool showsEmptyState READ showsEmptyState NOTIFY contentChanged)
    Q_PROPERTY(QString emptySymbol READ emptySymbol NOTIFY contentChanged)
    Q_PROPERTY(QString emptyTitle READ emptyTitle NOTIFY contentChanged)
    Q_PROPERTY(QString emptyBody READ emptyBody NOTIFY contentChanged)
    // The featured app (appPresentation fields plus installLabel); empty unless the panel is
    // firstPublishedApp.
    Q_PROPERTY(QVariantMap featured READ featured NOTIFY contentChanged)

public:
    explicit LibraryViewModel(QObject* parent = nullptr);

    int section() const { return static_cast<int>(section_); }
    void setSection(int section);
    QString searchText() const { return searchText_; }
    void setSearchText(const QString& text);
    AppListModel* apps() { return &apps_; }

    QString panel() const;
    LibraryPanel libraryPanel() const { return panel_; }
    QString greeting() const;
    QString subtitle() const;
    QString sectionTitle() const;
    QString sectionSubtitle() const;
    bool showsEmptyState() const;
    QString emptySymbol() const;
    QString emptyTitle() const;
    QString emptyBody() const;
    QVariantMap featured() const;

    // Makes `appID` the store's selected app; the screen then runs its "app selected" action.
    Q_INVOKABLE void chooseApp(const QString& appID);
    // Starts a catalog load in the background.
    Q_INVOKABLE void refreshCatalog();

Q_SIGNALS:
    void sectionChanged();
    void searchTextChanged();
    void contentChanged();

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

    SidebarSection section_ = SidebarSection::home;
    QString searchText_;
    AppListModel apps_;
    CatalogLifecycle lifecycle_;
    AppSearchIndex searchIndex_; // the list sections' base list
    LibraryPanel panel_ = LibraryPanel::emptyCatalog;
};

} // namespace nimbara
