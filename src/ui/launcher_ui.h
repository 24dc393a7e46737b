#pragma once

class QObject;
class QQmlEngine;

namespace nimbara {

class LauncherStore;

// The screens' side of the application: registers the view models and design helpers with
// `engine` and hands them `store`. `appActions` is exposed to QML as the context property
// "appActions" and offers the invokable showSettingsWindow() (the sidebar's settings entry).
// The main window is then loaded from mainWindowUrl(); it is an ApplicationWindow whose title is
// the context property "appName" (set by the entry point before loading).
void installLauncherUi(QQmlEngine& engine, LauncherStore& store, QObject* appActions);

// "qrc:/qml/Main.qml"
const char* mainWindowUrl();

} // namespace nimbara
