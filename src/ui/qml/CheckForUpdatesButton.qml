import QtQuick
import QtQuick.Controls.Basic
import Nimbara

// "Check for Updates...": enabled while the launcher's updater may start a check; choosing it
// starts a check the user follows in the update dialog.
MenuItem {
    readonly property LauncherUpdater updater: Launcher.updater

    objectName: "checkForUpdatesButton"
    text: Copy.texts.menuCheckForUpdates
    enabled: updater.canCheckForUpdates
    onTriggered: if (updater.isEnabled) updater.checkForUpdates()
}
