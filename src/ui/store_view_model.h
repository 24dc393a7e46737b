#pragma once

#include "store/launcher_store.h"

#include <QObject>
#include <QPointer>
#include <QtQmlIntegration>

namespace nimbara {

// Base of the screens' view models: holds the store the screen shows (property "store", set
// from QML) and re-reads it whenever the store or one of its watched fields changes.
class StoreViewModel : public QObject {
    Q_OBJECT
    QML_ANONYMOUS
    Q_PROPERTY(nimbara::LauncherStore* store READ store WRITE setStore NOTIFY storeChanged)

public:
    using QObject::QObject;

    LauncherStore* store() const { return store_; }
    void setStore(LauncherStore* store);

Q_SIGNALS:
    void storeChanged();

protected:
    // Connects the store's change signals this model follows.
    virtual void observe(LauncherStore& store) = 0;
    // Re-reads everything from the store (which may be null).
    virtual void refresh() = 0;

    QPointer<LauncherStore> store_;
};

} // namespace nimbara
