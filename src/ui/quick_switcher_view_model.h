#pragma once

#include "catalog/app_manifest_item.h"
#include "ui/app_presentation.h"
#include "ui/store_view_model.h"

#include <QList>
#include <QString>
#include <QVariantList>

namespace nimbara {

// One result row of the quick switcher: the app, its action hint ("Open" or "Install") and the
// row's accessible name (app name and hint).
struct QuickSwitcherRow {
    Q_GADGET
    QML_VALUE_TYPE(quickSwitcherRow)
    Q_PROPERTY(nimbara::AppPresentation app MEMBER app)
    Q_PROPERTY(QString hint MEMBER hint)
    Q_PROPERTY(QString accessibleName MEMBER accessibleName)

public:
    AppPresentation app;
    QString hint;
    QString accessibleName;
};

// The quick switcher: the query, the matching published apps and the selected row. Return runs
// the selected app: opens it when installed, otherwise asks the store to install it. A new model
// starts with an empty query and the first row selected; a catalog change keeps the query.
class QuickSwitcherViewModel : public nimbara::StoreViewModel {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QString query READ query WRITE setQuery NOTIFY queryChanged)
    Q_PROPERTY(int selectedIndex READ selectedIndex NOTIFY selectedIndexChanged)
    // QuickSwitcherRow values in result order.
    Q_PROPERTY(QVariantList results READ results NOTIFY resultsChanged)
    Q_PROPERTY(int resultCount READ resultCount NOTIFY resultsChanged)
    Q_PROPERTY(QString resultsCaption READ resultsCaption NOTIFY resultsChanged)

public:
    explicit QuickSwitcherViewModel(QObject* parent = nullptr);

    QString query() const { return query_; }
    // Filters the results and puts the selection back on the first row.
    void setQuery(const QString& query);
    int selectedIndex() const { return selectedIndex_; }
    QVariantList results() const;
    int resultCount() const { return static_cast<int>(apps_.size()); }
    const QList<AppManifestItem>& resultApps() const { return apps_; }
    QString resultsCaption() const;

    Q_INVOKABLE void moveUp();
    Q_INVOKABLE void moveDown();
    // Runs the selected result; false (and nothing done) when there is none.
    Q_INVOKABLE bool runSelected();
    // Selects the result at `index`, then runs it; false when there is no such result.
    Q_INVOKABLE bool run(int index);

Q_SIGNALS:
    void queryChanged();
    void selectedIndexChanged();
    void resultsChanged();

protected:
    void observe(LauncherStore& store) override;
    void refresh() override;

private:
    void setSelectedIndex(int index);

    QString query_;
    int selectedIndex_ = 0;
    QList<AppManifestItem> apps_;
};

} // namespace nimbara
