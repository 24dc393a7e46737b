#include "ui/update_all_view_model.h"

#include "core/logging.h"
#include "platform/detached_task.h"
#include "store/launcher_store.h"
#include "text/nimbara_copy.h"

using namespace Qt::StringLiterals;

namespace nimbara {

namespace {

// Fewer updates than this are offered one by one only.
constexpr qsizetype kLeastForUpdateAll = 2;

} // namespace

UpdateAllViewModel::UpdateAllViewModel(QObject* parent) : StoreViewModel(parent) {}

void UpdateAllViewModel::observe(LauncherStore& store) {
    for (const auto signal :
         {&LauncherStore::installStatesChanged, &LauncherStore::manifestChanged,
          &LauncherStore::updateAllInProgressChanged, &LauncherStore::localeChanged}) {
        connect(&store, signal, this, &UpdateAllViewModel::refresh);
    }
}

void UpdateAllViewModel::refresh() {
    Q_EMIT changed();
}

QString UpdateAllViewModel::titleFor(const LauncherStore& store) {
    if (store.updateAllInProgress()) {
        return NimbaraCopy::text(CopyKey::cancelUpdateAllAction, store.locale());
    }
    const qsizetype count = store.updatableApps().size();
    return count >= kLeastForUpdateAll ? NimbaraCopy::text(CopyKey::updateAllAction, store.locale(),
                                                           {{u"count"_s, QString::number(count)}})
                                       : QString();
}

void UpdateAllViewModel::triggerOn(LauncherStore& store) {
    if (store.updateAllInProgress()) {
        store.cancelUpdateAll();
    } else if (!titleFor(store).isEmpty()) {
        startDetached(store.updateAll(), logUi(), u"update of every app"_s);
    }
}

bool UpdateAllViewModel::shown() const {
    return store_ && !titleFor(*store_).isEmpty();
}

bool UpdateAllViewModel::inProgress() const {
    return store_ && store_->updateAllInProgress();
}

QString UpdateAllViewModel::title() const {
    return store_ ? titleFor(*store_) : QString();
}

void UpdateAllViewModel::trigger() {
    if (store_) {
        triggerOn(*store_);
    }
}

} // namespace nimbara
