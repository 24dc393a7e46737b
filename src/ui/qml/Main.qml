import QtQuick
import Nimbara
import QtQuick.Controls.Basic

// The launcher's main window. The stock controls' dark palette is set by the application,
// from the same tokens.
ApplicationWindow {
    id: window

    title: Launcher.appName
    width: 1060
    height: 720
    minimumWidth: 900
    minimumHeight: 620
    visible: true
    color: Theme.bg0

    RootView {
        objectName: "rootView"
        anchors.fill: parent
    }

    // The standard commands, from whichever of the launcher's windows is active.
    Shortcut {
        objectName: "quitShortcut"
        sequence: "Ctrl+Q"
        context: Qt.ApplicationShortcut
        onActivated: Launcher.actions.quit()
    }
    Shortcut {
        objectName: "settingsShortcut"
        sequence: "Ctrl+,"
        context: Qt.ApplicationShortcut
        onActivated: Launcher.actions.showSettingsWindow()
    }
}
