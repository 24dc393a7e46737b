#include "ui/quick_switcher_view_model.h"

#include "presentation/quick_switcher_rules.h"
#include "store/launcher_store.h"
#include "text/nimbara_copy.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace nimbara {

QuickSwitcherViewModel::QuickSwitcherViewModel(QObject* parent) : StoreViewModel(parent) {}

void QuickSwitcherViewModel::setQuery(const QString& query) {
    if (query == query_) {
        return;
    }
    query_ = query;
    refresh();
    setSelectedIndex(0);
    Q_EMIT queryChanged();
}

void QuickSwitcherViewModel::observe(LauncherStore& store) {
    connect(&store, &LauncherStore::manifestChanged, this, &QuickSwitcherViewModel::refresh);
    connect(&store, &LauncherStore::includeBetaAppsChanged, this, &QuickSwitcherViewModel::refresh);
    // The hints follow the install states and the locale.
    connect(&store, &LauncherStore::installStatesChanged, this,
            &QuickSwitcherViewModel::resultsChanged);
    connect(&store, &LauncherStore::localeChanged, this, &QuickSwitcherViewModel::resultsChanged);
}

void QuickSwitcherViewModel::refresh() {
    apps_ = store_ ? quickSwitcherResults(store_->manifest(), store_->includeBetaApps(), query_)
                   : QList<AppManifestItem>();
    // A catalog refresh keeps the query; the selection stays on a row that still exists.
    setSelectedIndex(std::clamp(selectedIndex_, 0, std::max(resultCount() - 1, 0)));
    Q_EMIT resultsChanged();
}

QVariantList QuickSwitcherViewModel::results() const {
    QVariantList rows;
    if (!store_) {
        return rows;
    }
    const NimbaraLocale locale = store_->locale();
    for (const AppManifestItem& app : apps_) {
        const QString hint =
            NimbaraCopy::text(quickSwitcherHint(quickSwitcherAction(store_->state(app))), locale);
        rows.append(QVariant::fromValue(
            QuickSwitcherRow{appPresentation(app, locale), hint, app.name + u", "_s + hint}));
    }
    return rows;
}

QString QuickSwitcherViewModel::resultsCaption() const {
    return NimbaraCopy::text(CopyKey::quickResults, store_ ? store_->locale() : NimbaraLocale::en,
                             {{u"count"_s, QString::number(resultCount())}});
}

void QuickSwitcherViewModel::moveUp() {
    setSelectedIndex(movedSelection(selectedIndex_, resultCount(), -1));
}

void QuickSwitcherViewModel::moveDown() {
    setSelectedIndex(movedSelection(selectedIndex_, resultCount(), 1));
}

bool QuickSwitcherViewModel::runSelected() {
    return run(selectedIndex_);
}

bool QuickSwitcherViewModel::run(int index) {
    if (!store_ || index < 0 || index >= resultCount()) {
        return false;
    }
    setSelectedIndex(index);
    // Copied: the store's signals below may replace the results.
    const AppManifestItem app = apps_[index];
    store_->setSelectedAppID(app.id);
    if (quickSwitcherAction(store_->state(app)) == QuickSwitcherAction::open) {
        store_->open(app);
    } else {
        store_->install(app);
    }
    return true;
}

void QuickSwitcherViewModel::setSelectedIndex(int index) {
    if (index == selectedIndex_) {
        return;
    }
    selectedIndex_ = index;
    Q_EMIT selectedIndexChanged();
}

} // namespace nimbara
