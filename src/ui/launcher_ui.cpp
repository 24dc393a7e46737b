#include "ui/launcher_ui.h"

#include "store/launcher_store.h"
#include "ui/app_detail_view_model.h"
#include "ui/app_list_model.h"
#include "ui/copy_bridge.h"
#include "ui/design_resources.h"
#include "ui/library_view_model.h"
#include "ui/shell_view_model.h"

#include <QQmlContext>
#include <QQmlEngine>

using namespace Qt::StringLiterals;

namespace nimbara {

namespace {

constexpr char moduleURI[] = "Nimbara";
constexpr char copyProperty[] = "nimbaraCopy";
constexpr char designProperty[] = "nimbaraDesign";

// The singleton of one engine: installLauncherUi keeps it on the engine, so that several
// engines (one per test) each see their own store's texts.
QObject* engineSingleton(QQmlEngine* engine, const char* property) {
    QObject* object = engine->property(property).value<QObject*>();
    QQmlEngine::setObjectOwnership(object, QQmlEngine::CppOwnership);
    return object;
}

void registerTypesOnce() {
    static const bool registered = [] {
        qmlRegisterUncreatableType<LauncherStore>(moduleURI, 1, 0, "LauncherStore",
                                                  u"The store is handed over by the application"_s);
        qmlRegisterUncreatableType<AppListModel>(moduleURI, 1, 0, "AppListModel",
                                                 u"Lists come from a view model"_s);
        qmlRegisterType<ShellViewModel>(moduleURI, 1, 0, "ShellViewModel");
        qmlRegisterType<LibraryViewModel>(moduleURI, 1, 0, "LibraryViewModel");
        qmlRegisterType<AppDetailViewModel>(moduleURI, 1, 0, "AppDetailViewModel");
        qmlRegisterSingletonType<CopyBridge>(
            moduleURI, 1, 0, "Copy",
            [](QQmlEngine* engine, QJSEngine*) { return engineSingleton(engine, copyProperty); });
        qmlRegisterSingletonType<DesignResources>(
            moduleURI, 1, 0, "Design",
            [](QQmlEngine* engine, QJSEngine*) { return engineSingleton(engine, designProperty); });
        return true;
    }();
    Q_UNUSED(registered);
}

} // namespace

void installLauncherUi(QQmlEngine& engine, LauncherStore& store, QObject* appActions) {
    registerTypesOnce();
    engine.setProperty(copyProperty,
                       QVariant::fromValue<QObject*>(new CopyBridge(&store, &engine)));
    engine.setProperty(designProperty, QVariant::fromValue<QObject*>(new DesignResources(&engine)));
    engine.rootContext()->setContextProperty(u"launcherStore"_s, &store);
    engine.rootContext()->setContextProperty(u"appActions"_s, appActions);
}

const char* mainWindowUrl() {
    return "qrc:/qml/Main.qml";
}

} // namespace nimbara
