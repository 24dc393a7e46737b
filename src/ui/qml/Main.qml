import QtQuick
import QtQuick.Controls.Basic
import "design"
import "design" as Theme

// The launcher's main window.
ApplicationWindow {
    id: window

    title: appName
    width: 1060
    height: 720
    minimumWidth: 900
    minimumHeight: 620
    visible: true
    color: Theme.Palette.bg0

    // Dark colours for the stock controls (text fields, dialogs, scroll bars).
    palette.window: Theme.Palette.bg0
    palette.windowText: Theme.Palette.fg0
    palette.base: Theme.Palette.bg2
    palette.text: Theme.Palette.fg0
    palette.button: Theme.Palette.bg3
    palette.buttonText: Theme.Palette.fg0
    palette.highlight: Theme.Palette.violet
    palette.highlightedText: Theme.Palette.fg0
    palette.placeholderText: Theme.Palette.fg3
    palette.mid: Theme.Palette.line2
    palette.dark: Theme.Palette.line2

    RootView {
        objectName: "rootView"
        anchors.fill: parent
    }
}
