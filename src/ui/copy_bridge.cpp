#include "ui/copy_bridge.h"

#include "store/launcher_store.h"
#include "text/nimbara_copy.h"

namespace nimbara {

CopyBridge::CopyBridge(LauncherStore* store, QObject* parent) : QObject(parent), store_(store) {
    if (store_) {
        connect(store_, &LauncherStore::localeChanged, this, &CopyBridge::reload);
    }
    reload();
}

QString CopyBridge::fill(const QString& templateText, const QVariantMap& values) const {
    CopyValues copyValues;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        copyValues.insert(it.key(), it.value().toString());
    }
    return NimbaraCopy::filled(templateText, copyValues);
}

void CopyBridge::reload() {
    const NimbaraLocale locale = store_ ? store_->locale() : NimbaraLocale::en;
    QVariantHash texts;
    for (const CopyKey key : CopyKeys::allCases()) {
        // Templates keep their placeholders; screens fill them with fill().
        texts.insert(QString(CopyKeys::rawValue(key)), NimbaraCopy::text(key, locale));
    }
    texts_.insert(texts);
    texts_.freeze();
    Q_EMIT textsChanged();
}

} // namespace nimbara
