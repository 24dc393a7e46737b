#include "ui/copy_bridge.h"

#include "store/launcher_store.h"
#include "text/copy_plurals.h"
#include "text/nimbara_copy.h"
#include "ui/launcher_context.h"

#include <QJSEngine>
#include <QQmlEngine>

namespace nimbara {

CopyBridge::CopyBridge(LauncherStore* store, QJSEngine* engine, QObject* parent)
    : QObject(parent), store_(store), engine_(engine) {
    if (store_) {
        connect(store_, &LauncherStore::localeChanged, this, &CopyBridge::reload);
    }
    reload();
}

CopyBridge* CopyBridge::create(QQmlEngine* engine, QJSEngine*) {
    const LauncherContext* context = LauncherContext::of(engine);
    return new CopyBridge(context ? context->store() : nullptr, engine);
}

QString CopyBridge::fill(const QString& templateText, const QVariantMap& values) const {
    CopyValues copyValues;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        copyValues.insert(it.key(), it.value().toString());
    }
    const auto counted = countedKeys_.constFind(templateText);
    if (counted != countedKeys_.cend()) {
        return NimbaraCopy::text(*counted, locale_, copyValues);
    }
    return NimbaraCopy::filled(templateText, copyValues);
}

void CopyBridge::reload() {
    locale_ = store_ ? store_->locale() : NimbaraLocale::en;
    QVariantMap texts;
    QHash<QString, CopyKey> countedKeys;
    for (const CopyKey key : CopyKeys::allCases()) {
        // Templates keep their placeholders; screens fill them with fill().
        const QString text = NimbaraCopy::text(key, locale_);
        texts.insert(QString(CopyKeys::rawValue(key)), text);
        if (copy_table::plurals(key, locale_)) {
            countedKeys.insert(text, key);
        }
    }
    texts_ = std::move(texts);
    countedKeys_ = std::move(countedKeys);
    if (engine_) {
        scriptTexts_ = engine_->toScriptValue(texts_);
    }
    Q_EMIT textsChanged();
}

} // namespace nimbara
