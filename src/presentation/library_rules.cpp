#include "presentation/library_rules.h"

#include "catalog/manifest_policy.h"
#include "text/nimbara_copy.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace nimbara {

QString normalizedSearchQuery(QStringView searchText) {
    return searchText.trimmed().toString().toLower();
}

QList<AppManifestItem> sectionBaseApps(SidebarSection section, const LibraryInputs& inputs) {
    switch (section) {
    case SidebarSection::AllApps:
        return ManifestPolicy::visibleApps(inputs.catalog, inputs.includeBeta);
    case SidebarSection::Selected:
    case SidebarSection::Updates: {
        QList<AppManifestItem> apps;
        for (const AppManifestItem& app :
             ManifestPolicy::publishedApps(inputs.catalog, inputs.includeBeta)) {
            const bool keep = section == SidebarSection::Selected
                                  ? inputs.starterAppIDs.contains(app.id)
                                  : inputs.installStates.value(app.id).kind() ==
                                        AppInstallState::Case::updateAvailable;
            if (keep) {
                apps.append(app);
            }
        }
        return apps;
    }
    case SidebarSection::Home:
    case SidebarSection::Settings:
        break;
    }
    return {};
}

AppSearchIndex::AppSearchIndex(QList<AppManifestItem> apps) : apps_(std::move(apps)) {
    entries_.reserve(apps_.size());
    for (const AppManifestItem& app : apps_) {
        entries_.append({app.name.toLower(), app.tagline.toLower(), app.category.toLower(),
                         app.tags.join(QLatin1Char(' ')).toLower()});
    }
}

QList<AppManifestItem> AppSearchIndex::matching(QStringView searchText) const {
    const QString query = normalizedSearchQuery(searchText);
    if (query.isEmpty()) {
        return apps_;
    }
    QList<AppManifestItem> kept;
    for (qsizetype i = 0; i < entries_.size(); ++i) {
        const Entry& entry = entries_[i];
        if (entry.name.contains(query) || entry.tagline.contains(query) ||
            entry.category.contains(query) || entry.tags.contains(query)) {
            kept.append(apps_[i]);
        }
    }
    return kept;
}

QList<AppManifestItem> filteredApps(SidebarSection section, const LibraryInputs& inputs,
                                    QStringView searchText) {
    return AppSearchIndex(sectionBaseApps(section, inputs)).matching(searchText);
}

LibraryPanel libraryPanel(SidebarSection section, CatalogLifecycleKind lifecycle) {
    switch (section) {
    case SidebarSection::Home:
        switch (lifecycle) {
        case CatalogLifecycleKind::empty:
            return LibraryPanel::EmptyCatalog;
        case CatalogLifecycleKind::comingSoonOnly:
            return LibraryPanel::ComingSoon;
        case CatalogLifecycleKind::firstPublishedApp:
            return LibraryPanel::FirstPublishedApp;
        case CatalogLifecycleKind::multiAppCatalog:
            return LibraryPanel::AppSection;
        }
        break;
    case SidebarSection::AllApps:
    case SidebarSection::Selected:
    case SidebarSection::Updates:
        return LibraryPanel::AppSection;
    case SidebarSection::Settings:
        break;
    }
    return LibraryPanel::EmptyState;
}

EmptyStateContent emptyStateContent(EmptyStateKind kind) {
    switch (kind) {
    case EmptyStateKind::selected:
        return {"star"_L1, CopyKey::noSelectedTitle, CopyKey::noSelectedBody};
    case EmptyStateKind::updates:
        return {"arrow.down.circle"_L1, CopyKey::noUpdatesTitle, CopyKey::noUpdatesBody};
    case EmptyStateKind::generic:
        break;
    }
    return {"tray"_L1, CopyKey::noAppsTitle, CopyKey::noAppsBody};
}

AppSectionHeading appSectionHeading(SidebarSection section) {
    switch (section) {
    case SidebarSection::AllApps:
        return {CopyKey::allAppsTitle, EmptyStateKind::generic};
    case SidebarSection::Selected:
        return {CopyKey::selectedAppsTitle, EmptyStateKind::selected};
    case SidebarSection::Updates:
        return {CopyKey::updatesTitle, EmptyStateKind::updates};
    case SidebarSection::Home:
    case SidebarSection::Settings:
        break;
    }
    return {CopyKey::publishedAppsTitle, EmptyStateKind::generic};
}

QString tileStatus(const AppManifestItem& app, const AppInstallState& state, NimbaraLocale locale) {
    if (app.status == AppReleaseStatus::comingSoon) {
        return NimbaraCopy::text(CopyKey::comingSoonTileStatus, locale);
    }
    return state.label(locale);
}

StatusSymbol statusSymbol(const AppManifestItem& app, const QSet<QString>& starterAppIDs) {
    if (app.status == AppReleaseStatus::comingSoon) {
        return {"clock"_L1, AppAccent::amber};
    }
    return {starterAppIDs.contains(app.id) ? "star.fill"_L1 : "star"_L1, AppAccent::lime};
}

int gridMoveTarget(int from, GridMove move, int count, int columns) {
    if (count <= 0) {
        return -1;
    }
    if (from < 0 || from >= count) {
        return 0;
    }
    const int row = std::max(1, columns);
    int target = from;
    switch (move) {
    case GridMove::left:
        target = from - 1;
        break;
    case GridMove::right:
        target = from + 1;
        break;
    case GridMove::up:
        target = from - row;
        break;
    case GridMove::down:
        target = from + row;
        break;
    }
    return std::clamp(target, 0, count - 1);
}

} // namespace nimbara
