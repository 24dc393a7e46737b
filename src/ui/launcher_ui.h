#pragma once

#include <QString>

class QQmlEngine;

namespace nimbara {

class ApplicationActions;
class LauncherStore;

// The screens' side of the application: hands `store`, `actions` and the window title
// `appName` to `engine`'s screens (the "Launcher" singleton of the Nimbara module), and gives
// the engine its app icon cache (AppIconCache::of) with the "appicon" image provider. The main
// window is then loaded from mainWindowUrl(). Call once per engine, before loading.
void installLauncherUi(QQmlEngine& engine, LauncherStore& store, ApplicationActions& actions,
                       const QString& appName);

// The main window of the Nimbara module, "qrc:/qt/qml/Nimbara/Main.qml".
const char* mainWindowUrl();

} // namespace nimbara
