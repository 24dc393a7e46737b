#include "ui/store_view_model.h"

#include "store/launcher_store.h"

namespace nimbara {

void StoreViewModel::setStore(LauncherStore* store) {
    if (store_ == store) {
        return;
    }
    if (store_) {
        disconnect(store_, nullptr, this, nullptr);
    }
    store_ = store;
    if (store_) {
        observe(*store_);
    }
    refresh();
    Q_EMIT storeChanged();
}

} // namespace nimbara
