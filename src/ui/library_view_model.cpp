#include "ui/library_view_model.h"

#include "catalog/manifest_policy.h"
#include "core/logging.h"
#include "platform/detached_task.h"
#include "store/launcher_store.h"
#include "text/nimbara_copy.h"
#include "ui/app_presentation.h"

using namespace Qt::StringLiterals;

namespace nimbara {

LibraryViewModel::LibraryViewModel(QObject* parent) : StoreViewModel(parent) {
    refresh();
}

void LibraryViewModel::setSection(SidebarSection section) {
    if (section == section_) {
        return;
    }
    section_ = section;
    refresh();
    Q_EMIT sectionChanged();
}

void LibraryViewModel::setSearchText(const QString& text) {
    if (text == searchText_) {
        return;
    }
    searchText_ = text;
    // Home ignores the search text.
    if (panel_ == LibraryPanel::AppSection && section_ != SidebarSection::Home) {
        refilter();
    }
    Q_EMIT searchTextChanged();
}

void LibraryViewModel::observe(LauncherStore& store) {
    apps_.setStore(&store);
    connect(&store, &LauncherStore::manifestChanged, this, &LibraryViewModel::refresh);
    connect(&store, &LauncherStore::includeBetaAppsChanged, this, &LibraryViewModel::refresh);
    connect(&store, &LauncherStore::selectedStarterAppIDsChanged, this, [this] {
        // The selected section lists the starter selection; elsewhere only the stars change.
        section_ == SidebarSection::Selected ? refresh() : refreshLabels();
    });
    connect(&store, &LauncherStore::installStatesChanged, this,
            [this] { section_ == SidebarSection::Updates ? refresh() : refreshLabels(); });
    connect(&store, &LauncherStore::localeChanged, this, &LibraryViewModel::refreshLabels);
    connect(&store, &LauncherStore::selectedAppIDChanged, this,
            &LibraryViewModel::shownIndexChanged);
}

void LibraryViewModel::refresh() {
    if (!store_) {
        apps_.setStore(nullptr);
    }
    lifecycle_ =
        store_ ? ManifestPolicy::catalogLifecycle(store_->manifest(), store_->includeBetaApps())
               : CatalogLifecycle{};
    panel_ = nimbara::libraryPanel(section_, lifecycle_.kind);
    rebuildList();
}

void LibraryViewModel::rebuildList() {
    QList<AppManifestItem> base;
    if (store_ && panel_ == LibraryPanel::AppSection && section_ != SidebarSection::Home) {
        const LibraryInputs inputs{store_->manifest(), store_->includeBetaApps(),
                                   store_->selectedStarterAppIDs(), store_->installStates()};
        base = sectionBaseApps(section_, inputs);
    }
    searchIndex_ = AppSearchIndex(std::move(base));
    refilter();
}

void LibraryViewModel::refilter() {
    QList<AppManifestItem> apps;
    switch (panel_) {
    case LibraryPanel::ComingSoon:
        apps = lifecycle_.comingSoonApps;
        break;
    case LibraryPanel::AppSection:
        // Home shows the published apps whatever the search text.
        apps = section_ == SidebarSection::Home ? lifecycle_.publishedApps
                                                : searchIndex_.matching(searchText_);
        break;
    case LibraryPanel::EmptyCatalog:
    case LibraryPanel::FirstPublishedApp:
    case LibraryPanel::EmptyState:
        break;
    }
    apps_.setApps(std::move(apps));
    Q_EMIT contentChanged();
    Q_EMIT shownIndexChanged();
}

void LibraryViewModel::refreshLabels() {
    apps_.refreshLabels();
    Q_EMIT contentChanged();
}

QString LibraryViewModel::text(CopyKey key, const QHash<QString, QString>& values) const {
    return NimbaraCopy::text(key, store_ ? store_->locale() : NimbaraLocale::en, values);
}

QString LibraryViewModel::greeting() const {
    return text(CopyKey::homeGreeting, {{u"name"_s, QString()}});
}

QString LibraryViewModel::subtitle() const {
    const auto published = lifecycle_.publishedApps.size();
    return published > 0
               ? text(CopyKey::homeSubtitleApps, {{u"count"_s, QString::number(published)}})
               : text(CopyKey::homeSubtitleEmpty);
}

QString LibraryViewModel::sectionTitle() const {
    return text(appSectionHeading(section_).title);
}

QString LibraryViewModel::sectionSubtitle() const {
    return text(CopyKey::appListSubtitle, {{u"count"_s, QString::number(apps_.count())}});
}

bool LibraryViewModel::showsEmptyState() const {
    return panel_ == LibraryPanel::EmptyState ||
           (panel_ == LibraryPanel::AppSection && apps_.count() == 0);
}

EmptyStateContent LibraryViewModel::emptyContent() const {
    return emptyStateContent(panel_ == LibraryPanel::EmptyState
                                 ? EmptyStateKind::generic
                                 : appSectionHeading(section_).emptyKind);
}

QString LibraryViewModel::emptySymbol() const {
    return emptyContent().symbol;
}

QString LibraryViewModel::emptyTitle() const {
    return text(emptyContent().title);
}

QString LibraryViewModel::emptyBody() const {
    return text(emptyContent().body);
}

AppPresentation LibraryViewModel::featured() const {
    if (panel_ != LibraryPanel::FirstPublishedApp || !lifecycle_.featuredApp || !store_) {
        return {};
    }
    return appPresentation(*lifecycle_.featuredApp, store_->locale());
}

QString LibraryViewModel::featuredInstallLabel() const {
    if (panel_ != LibraryPanel::FirstPublishedApp || !lifecycle_.featuredApp || !store_) {
        return {};
    }
    return store_->state(*lifecycle_.featuredApp).label(store_->locale());
}

void LibraryViewModel::chooseApp(const QString& appID) {
    if (store_) {
        store_->setSelectedAppID(appID);
    }
}

void LibraryViewModel::refreshCatalog() {
    if (store_) {
        startDetached(store_->loadManifest(), logUi(), QStringLiteral("catalog refresh"));
    }
}

int LibraryViewModel::shownIndex() const {
    const std::optional<AppManifestItem> shown = store_ ? store_->selectedApp() : std::nullopt;
    if (!shown) {
        return -1;
    }
    const QList<AppManifestItem>& apps = apps_.apps();
    for (qsizetype i = 0; i < apps.size(); ++i) {
        if (apps[i].id == shown->id) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

QString LibraryViewModel::appIDAt(int index) const {
    const QList<AppManifestItem>& apps = apps_.apps();
    return index >= 0 && index < apps.size() ? apps[index].id : QString();
}

int LibraryViewModel::moveSelection(int key, int columns) {
    GridMove move{};
    switch (key) {
    case Qt::Key_Left:
        move = GridMove::left;
        break;
    case Qt::Key_Right:
        move = GridMove::right;
        break;
    case Qt::Key_Up:
        move = GridMove::up;
        break;
    case Qt::Key_Down:
        move = GridMove::down;
        break;
    default:
        return -1;
    }
    const int target = gridMoveTarget(shownIndex(), move, apps_.count(), columns);
    if (target >= 0) {
        chooseApp(appIDAt(target));
    }
    return target;
}

} // namespace nimbara
