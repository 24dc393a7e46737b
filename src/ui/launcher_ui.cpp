#include "ui/launcher_ui.h"

#include "platform/network_session.h"
#include "ui/app_icon_cache.h"
#include "ui/launcher_context.h"

#include <QQmlEngine>

namespace nimbara {

void installLauncherUi(QQmlEngine& engine, LauncherStore& store, ApplicationActions& actions,
                       const QString& appName, LauncherUpdater* updater) {
    LauncherContext::provide(engine, store, actions, appName, updater);
    AppIconCache::provide(engine, sharedNetworkAccessManager());
}

const char* mainWindowUrl() {
    return "qrc:/qt/qml/Nimbara/Main.qml";
}

} // namespace nimbara
