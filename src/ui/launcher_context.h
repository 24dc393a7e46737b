#pragma once

#include "services/launcher_updater.h"
#include "store/launcher_store.h"
#include "ui/application_actions.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QtQmlIntegration>

class QJSEngine;
class QQmlEngine;

namespace nimbara {

// What the application hands to the screens of one engine (QML singleton "Launcher"): the
// store, the application's actions, the launcher's own updater and the window title. Each engine
// has its own, provided before anything of the module is loaded, so several engines can show
// different stores.
class LauncherContext : public QObject {
    Q_OBJECT
    QML_NAMED_ELEMENT(Launcher)
    QML_SINGLETON
    Q_PROPERTY(nimbara::LauncherStore* store READ store CONSTANT)
    Q_PROPERTY(nimbara::ApplicationActions* actions READ actions CONSTANT)
    Q_PROPERTY(nimbara::LauncherUpdater* updater READ updater CONSTANT)
    Q_PROPERTY(QString appName READ appName CONSTANT)

public:
    LauncherContext(LauncherStore& store, ApplicationActions& actions, QString appName,
                    LauncherUpdater* updater, QObject* parent = nullptr);

    // Makes `store`, `actions`, `appName` and `updater` what `engine`'s screens see. Without an
    // updater the screens get one that is off (no feed), so every update control stays
    // disabled. The context is owned by the engine; store, actions and updater must outlive it.
    static void provide(QQmlEngine& engine, LauncherStore& store, ApplicationActions& actions,
                        const QString& appName, LauncherUpdater* updater = nullptr);
    // The context provided to `engine`, or null.
    static LauncherContext* of(QQmlEngine* engine);
    // The singleton's factory: the provided context (an error when there is none).
    static LauncherContext* create(QQmlEngine* engine, QJSEngine* scriptEngine);

    LauncherStore* store() const { return store_; }
    ApplicationActions* actions() const { return actions_; }
    LauncherUpdater* updater() const { return updater_; }
    QString appName() const { return appName_; }

private:
    QPointer<LauncherStore> store_;
    QPointer<ApplicationActions> actions_;
    QString appName_;
    QPointer<LauncherUpdater> updater_;
};

} // namespace nimbara
