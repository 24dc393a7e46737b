#pragma once

#include "catalog/app_manifest_item.h"

#include <QAbstractListModel>
#include <QPointer>
#include <QtQmlIntegration>

namespace nimbara {

class LauncherStore;

// The tiles of the library grid. Holds the apps; every label is computed when a tile asks, from
// the store's current install states, starter selection and locale.
class AppListModel : public QAbstractListModel {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Lists come from a view model")
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    enum Role {
        IdRole = Qt::UserRole + 1,
        NameRole,
        TaglineRole,
        AccentRole, // raw accent name
        SymbolNameRole,
        IconUrlRole,       // empty without an icon
        ReleaseStatusRole, // the release status's label
        TileStatusRole,
        StatusSymbolRole,
        StatusAccentRole, // raw accent name of the status symbol
        AccessibleNameRole,
        StarterSelectedRole, // ticked in the store's starter selection
    };

    explicit AppListModel(QObject* parent = nullptr);

    void setStore(LauncherStore* store);
    // Replaces the apps. The same ids in the same order update the tiles in place; anything
    // else rebuilds the list.
    void setApps(QList<AppManifestItem> apps);
    // The labels changed (install states, starter selection, locale): redraw every tile.
    void refreshLabels();

    const QList<AppManifestItem>& apps() const { return apps_; }
    int count() const { return static_cast<int>(apps_.size()); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

Q_SIGNALS:
    void countChanged();

private:
    QPointer<LauncherStore> store_;
    QList<AppManifestItem> apps_;
};

} // namespace nimbara
