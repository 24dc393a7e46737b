#pragma once

#include <QObject>
#include <QPointer>
#include <QVariantMap>

namespace nimbara {

class LauncherStore;

// The text table for the screens (QML singleton "Copy"): `texts` maps every key's name to its
// text in the store's current locale and is replaced when the locale changes, so bindings such
// as `Copy.texts.brand` follow a language switch. Placeholders are filled with fill().
class CopyBridge : public QObject {
    Q_OBJECT
    Q_PROPERTY(QVariantMap texts READ texts NOTIFY textsChanged)

public:
    explicit CopyBridge(LauncherStore* store, QObject* parent = nullptr);

    QVariantMap texts() const { return texts_; }

    // `templateText` with every "{{name}}" of `values` replaced (values are turned into text).
    Q_INVOKABLE QString fill(const QString& templateText, const QVariantMap& values) const;

Q_SIGNALS:
    void textsChanged();

private:
    void reload();

    QPointer<LauncherStore> store_;
    QVariantMap texts_;
};

} // namespace nimbara
