#pragma once

#include <QObject>
#include <QPointer>
#include <QQmlPropertyMap>
#include <QVariantMap>

namespace nimbara {

class LauncherStore;

// The text table for the screens (QML singleton "Copy"): `texts` has one property per key,
// named after the key, holding its text in the store's current locale. The values are updated
// when the locale changes, so bindings such as `Copy.texts.brand` follow a language switch.
// Placeholders are left in the texts; fill() fills them.
class CopyBridge : public QObject {
    Q_OBJECT
    Q_PROPERTY(QQmlPropertyMap* texts READ texts CONSTANT)

public:
    explicit CopyBridge(LauncherStore* store, QObject* parent = nullptr);

    QQmlPropertyMap* texts() { return &texts_; }

    // `templateText` with every "{{name}}" of `values` replaced (values are turned into text).
    Q_INVOKABLE QString fill(const QString& templateText, const QVariantMap& values) const;

Q_SIGNALS:
    // After the texts were updated to a new locale.
    void textsChanged();

private:
    void reload();

    QPointer<LauncherStore> store_;
    QQmlPropertyMap texts_;
};

} // namespace nimbara
