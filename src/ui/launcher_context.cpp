#include "ui/launcher_context.h"

#include <QQmlEngine>

namespace nimbara {

namespace {

constexpr char contextProperty[] = "nimbaraLauncherContext";

} // namespace

LauncherContext::LauncherContext(LauncherStore& store, ApplicationActions& actions, QString appName,
                                 LauncherUpdater* updater, QObject* parent)
    : QObject(parent), store_(&store), actions_(&actions), appName_(std::move(appName)),
      updater_(updater) {
    if (!updater_)
        updater_ = new LauncherUpdater({}, {}, false, this);
}

void LauncherContext::provide(QQmlEngine& engine, LauncherStore& store, ApplicationActions& actions,
                              const QString& appName, LauncherUpdater* updater) {
    auto* context = new LauncherContext(store, actions, appName, updater, &engine);
    engine.setProperty(contextProperty, QVariant::fromValue<QObject*>(context));
}

LauncherContext* LauncherContext::of(QQmlEngine* engine) {
    return engine
               ? qobject_cast<LauncherContext*>(engine->property(contextProperty).value<QObject*>())
               : nullptr;
}

LauncherContext* LauncherContext::create(QQmlEngine* engine, QJSEngine* scriptEngine) {
    LauncherContext* context = of(engine);
    if (!context) {
        scriptEngine->throwError(
            QStringLiteral("No launcher store was provided to this engine before loading"));
        return nullptr;
    }
    // The engine must not delete it: it is its parent already, and the copy texts read it.
    QJSEngine::setObjectOwnership(context, QJSEngine::CppOwnership);
    return context;
}

} // namespace nimbara
