#include "ui/launcher_ui.h"

#include "ui/launcher_context.h"

#include <QQmlEngine>

namespace nimbara {

void installLauncherUi(QQmlEngine& engine, LauncherStore& store, ApplicationActions& actions,
                       const QString& appName) {
    LauncherContext::provide(engine, store, actions, appName);
}

const char* mainWindowUrl() {
    return "qrc:/qt/qml/Nimbara/Main.qml";
}

} // namespace nimbara
