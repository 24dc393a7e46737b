#pragma once

#include <QString>

class QQmlEngine;

namespace nimbara {

class ApplicationActions;
class LauncherStore;
class LauncherUpdater;

// The screens' side of the application: hands `store`, `actions`, the window title `appName`
// and the launcher's `updater` (none: one that is off) to `engine`'s screens (the "Launcher"
// singleton of the Nimbara module), and gives the engine its app icon cache (AppIconCache::of) with
// the "appicon" image provider. The main window is then loaded from mainWindowUrl(). Call once per
// engine, before loading.
void installLauncherUi(QQmlEngine& engine, LauncherStore& store, ApplicationActions& actions,
                       const QString& appName, LauncherUpdater* updater = nullptr);

// The main window of the Nimbara module, "qrc:/qt/qml/Nimbara/Main.qml".
const char* mainWindowUrl();

} // namespace nimbara
