#pragma once

#include "text/copy_key.h"
#include "text/nimbara_locale.h"

#include <QHash>
#include <QJSValue>
#include <QObject>
#include <QPointer>
#include <QVariantMap>
#include <QtQmlIntegration>

class QJSEngine;
class QQmlEngine;

namespace nimbara {

class LauncherStore;

// The text table for the screens (QML singleton "Copy"): `texts` has one property per key,
// named after the key, holding its text in the store's current locale. It is replaced when the
// locale changes, so bindings such as `Copy.texts.brand` follow a language switch.
// Placeholders are left in the texts; fill() fills them.
class CopyBridge : public QObject {
    Q_OBJECT
    QML_NAMED_ELEMENT(Copy)
    QML_SINGLETON
    Q_PROPERTY(QJSValue texts READ texts NOTIFY textsChanged)

public:
    // Without `engine`, only textMap() is filled.
    explicit CopyBridge(LauncherStore* store, QJSEngine* engine = nullptr,
                        QObject* parent = nullptr);

    // The singleton's factory: the texts of the store provided to `engine`.
    static CopyBridge* create(QQmlEngine* engine, QJSEngine* scriptEngine);

    QJSValue texts() const { return scriptTexts_; }
    // The same texts, key name to text.
    const QVariantMap& textMap() const { return texts_; }

    // `templateText` with every "{{name}}" of `values` replaced (values are turned into text).
    // When `templateText` is the current text of a key with plural forms and `values` holds a
    // whole number under "count", the key's form for that number is filled instead, so that
    // `Copy.fill(Copy.texts.appListSubtitle, {count: n})` reads right for every n.
    Q_INVOKABLE QString fill(const QString& templateText, const QVariantMap& values) const;

Q_SIGNALS:
    // After the texts were updated to a new locale.
    void textsChanged();

private:
    void reload();

    QPointer<LauncherStore> store_;
    QJSEngine* engine_;
    NimbaraLocale locale_ = NimbaraLocale::en;
    QVariantMap texts_;
    // The current text of each key with plural forms -> that key.
    QHash<QString, CopyKey> countedKeys_;
    QJSValue scriptTexts_;
};

} // namespace nimbara
