#pragma once

#include "ui/store_view_model.h"

#include <QString>

namespace nimbara {

// The "Update all (N)" control of the top bar, the Updates section and the tray: shown while two
// or more apps have an update, or while an update of several apps runs (then it stops it).
class UpdateAllViewModel : public nimbara::StoreViewModel {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(bool shown READ shown NOTIFY changed)
    Q_PROPERTY(bool inProgress READ inProgress NOTIFY changed)
    Q_PROPERTY(QString title READ title NOTIFY changed)

public:
    explicit UpdateAllViewModel(QObject* parent = nullptr);

    bool shown() const;
    bool inProgress() const;
    QString title() const;

    // Starts updating every app with an update, or stops the update under way.
    Q_INVOKABLE void trigger();

    // The control's title for `store`, or empty when it is not shown: shared with the tray.
    static QString titleFor(const LauncherStore& store);
    // trigger() on `store`.
    static void triggerOn(LauncherStore& store);

Q_SIGNALS:
    void changed();

protected:
    void observe(LauncherStore& store) override;
    void refresh() override;
};

} // namespace nimbara
