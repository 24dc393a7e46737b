#include "ui/app_list_model.h"

#include "presentation/library_rules.h"
#include "store/launcher_store.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace nimbara {

AppListModel::AppListModel(QObject* parent) : QAbstractListModel(parent) {}

void AppListModel::setStore(LauncherStore* store) {
    store_ = store;
    refreshLabels();
}

void AppListModel::setApps(QList<AppManifestItem> apps) {
    const bool sameIDs =
        std::equal(apps.cbegin(), apps.cend(), apps_.cbegin(), apps_.cend(),
                   [](const AppManifestItem& a, const AppManifestItem& b) { return a.id == b.id; });
    if (sameIDs) {
        apps_ = std::move(apps);
        refreshLabels();
        return;
    }
    const int before = count();
    beginResetModel();
    apps_ = std::move(apps);
    endResetModel();
    if (count() != before) {
        Q_EMIT countChanged();
    }
}

void AppListModel::refreshLabels() {
    if (!apps_.isEmpty()) {
        Q_EMIT dataChanged(index(0), index(count() - 1));
    }
}

int AppListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

QVariant AppListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= count()) {
        return {};
    }
    const AppManifestItem& app = apps_[index.row()];
    const NimbaraLocale locale = store_ ? store_->locale() : NimbaraLocale::en;
    const auto status = [&] {
        return tileStatus(app, store_ ? store_->state(app) : AppInstallState(), locale);
    };
    const auto symbol = [&] {
        return statusSymbol(app, store_ ? store_->selectedStarterAppIDs() : QSet<QString>());
    };
    switch (role) {
    case IdRole:
        return app.id;
    case NameRole:
    case Qt::DisplayRole:
        return app.name;
    case TaglineRole:
        return app.tagline;
    case AccentRole:
        return QString(AppAccents::rawValue(app.accent));
    case SymbolNameRole:
        return app.symbolName;
    case IconUrlRole:
        return app.iconUrl ? app.iconUrl->toString(QUrl::FullyEncoded) : QString();
    case ReleaseStatusRole:
        return AppReleaseStatuses::label(app.status, locale);
    case TileStatusRole:
        return status();
    case StatusSymbolRole:
        return QString(symbol().symbol);
    case StatusAccentRole:
        return QString(AppAccents::rawValue(symbol().accent));
    case AccessibleNameRole:
        return app.name + u", "_s + status();
    case StarterSelectedRole:
        return store_ && store_->selectedStarterAppIDs().contains(app.id);
    default:
        return {};
    }
}

QHash<int, QByteArray> AppListModel::roleNames() const {
    return {
        {IdRole, "appId"},
        {NameRole, "name"},
        {TaglineRole, "tagline"},
        {AccentRole, "accent"},
        {SymbolNameRole, "symbolName"},
        {IconUrlRole, "iconUrl"},
        {ReleaseStatusRole, "releaseStatus"},
        {TileStatusRole, "tileStatus"},
        {StatusSymbolRole, "statusSymbol"},
        {StatusAccentRole, "statusAccent"},
        {AccessibleNameRole, "accessibleName"},
        {StarterSelectedRole, "starterSelected"},
    };
}

} // namespace nimbara
