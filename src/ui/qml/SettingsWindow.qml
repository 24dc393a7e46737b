import QtQuick
import Nimbara
import QtQuick.Controls.Basic

// The settings window: the preferences screen, 640 wide, titled in the launcher's language.
// Created once; closing it (also with Escape or Ctrl+W) only hides it.
ApplicationWindow {
    id: window

    title: Copy.texts.sidebarPreferences
    width: 640
    minimumWidth: 640
    maximumWidth: 640
    height: 640
    minimumHeight: 320
    visible: false
    color: Theme.bg0

    PreferencesView {
        id: preferences
        objectName: "preferencesView"
        anchors.fill: parent
    }

    // An open popup (the confirmation, the language list) takes Escape for itself.
    Shortcut {
        sequences: ["Esc", "Ctrl+W"]
        enabled: !preferences.popupOpen
        onActivated: window.close()
    }
}
