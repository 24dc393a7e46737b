import QtQuick
import QtQuick.Controls.Basic
import Nimbara

// The launcher's own update, shown in a ModalOverlay: the check the user asked for, an update
// found (version, release notes, Install / Later), the install's progress, or why it failed.
// The keyboard stays on its buttons while it shows; Escape answers "Later" (or cancels an
// install that has not started to swap).
Item {
    id: dialog

    readonly property LauncherUpdater updater: Launcher.updater
    readonly property int phase: updater.phase
    readonly property bool offering: phase === LauncherUpdater.UpdateAvailable
    readonly property bool working: phase === LauncherUpdater.Checking
                                    || phase === LauncherUpdater.Installing
                                    || phase === LauncherUpdater.Relaunching

    implicitWidth: 460
    implicitHeight: layout.implicitHeight + 48

    function focusButtons() {
        if (offering)
            installButton.forceActiveFocus()
        else if (closeButton.visible)
            closeButton.forceActiveFocus()
        else
            dialog.forceActiveFocus()
    }
    // Once the buttons' own bindings have followed the change.
    Timer {
        id: focusSoon
        interval: 0
        onTriggered: dialog.focusButtons()
    }
    onVisibleChanged: if (visible) focusSoon.restart()
    onPhaseChanged: if (visible) focusSoon.restart()
    Keys.onEscapePressed: updater.dismiss()

    Column {
        id: layout
        x: 24
        y: 24
        width: parent.width - 48
        spacing: 18

        Row {
            width: parent.width
            spacing: 14

            NimbaraLogo { size: 48 }

            Column {
                width: parent.width - 48 - parent.spacing
                spacing: 7
                anchors.verticalCenter: parent.verticalCenter

                Text {
                    objectName: "updateTitle"
                    width: parent.width
                    text: {
                        switch (dialog.phase) {
                        case LauncherUpdater.Checking: return Copy.texts.updateChecking
                        case LauncherUpdater.UpToDate: return Copy.texts.updateUpToDateTitle
                        case LauncherUpdater.UpdateAvailable:
                            return Copy.fill(Copy.texts.updateAvailableTitle, {version: dialog.updater.offeredVersion})
                        case LauncherUpdater.Installing:
                            return Copy.fill(Copy.texts.updateInstalling, {version: dialog.updater.offeredVersion})
                        case LauncherUpdater.Relaunching: return Copy.texts.updateRelaunching
                        default: return Copy.texts.menuCheckForUpdates
                        }
                    }
                    color: Theme.fg0
                    font.family: Design.displayFamily
                    font.pixelSize: 20
                    font.weight: Font.DemiBold
                    wrapMode: Text.WordWrap
                }
                Text {
                    objectName: "updateMessage"
                    width: parent.width
                    visible: text !== ""
                    text: {
                        switch (dialog.phase) {
                        case LauncherUpdater.UpToDate:
                            return Copy.fill(Copy.texts.updateUpToDateBody, {version: dialog.updater.currentVersion})
                        case LauncherUpdater.UpdateAvailable:
                            return Copy.fill(Copy.texts.updateAvailableBody, {installed: dialog.updater.currentVersion})
                        case LauncherUpdater.CheckFailed:
                            return Copy.fill(Copy.texts.updateCheckFailed, {reason: dialog.updater.failureReason})
                        case LauncherUpdater.InstallFailed:
                            return Copy.fill(Copy.texts.updateInstallFailed, {reason: dialog.updater.failureReason})
                        default: return ""
                        }
                    }
                    color: Theme.fg2
                    font.pixelSize: 13
                    lineHeightMode: Text.FixedHeight
                    lineHeight: 20
                    wrapMode: Text.WordWrap
                }
            }
        }

        // The release notes of the offered version, scrolling when they are long.
        Rectangle {
            visible: dialog.offering && dialog.updater.releaseNotes !== ""
            width: parent.width
            height: Math.min(notes.implicitHeight + 24, 220)
            radius: 10
            color: Theme.bg2
            border.color: Theme.line

            Flickable {
                anchors.fill: parent
                anchors.margins: 12
                contentHeight: notes.implicitHeight
                clip: true
                boundsBehavior: Flickable.StopAtBounds
                ScrollBar.vertical: ScrollBar {}

                Text {
                    id: notes
                    objectName: "updateReleaseNotes"
                    width: parent.width
                    text: dialog.updater.releaseNotes
                    textFormat: Text.PlainText
                    color: Theme.fg1
                    font.pixelSize: 13
                    lineHeightMode: Text.FixedHeight
                    lineHeight: 20
                    wrapMode: Text.Wrap
                }
            }
        }

        LinkButton {
            visible: dialog.offering && dialog.updater.releaseNotesLink !== ""
            text: Copy.texts.updateReleaseNotesLink
            onClicked: Qt.openUrlExternally(dialog.updater.releaseNotesLink)
        }

        ProgressBar {
            objectName: "updateProgress"
            visible: dialog.working
            width: parent.width
            indeterminate: dialog.phase === LauncherUpdater.Checking
            value: dialog.updater.progress
            Accessible.name: Copy.texts.updateChecking
        }

        Row {
            anchors.right: parent.right
            spacing: 10

            NimbaraButton {
                objectName: "updateLaterButton"
                visible: dialog.offering || dialog.phase === LauncherUpdater.Installing
                variant: ButtonVariant.Secondary
                text: dialog.offering ? Copy.texts.updateLater : Copy.texts.updateCancel
                KeyNavigation.tab: dialog.offering ? installButton : null
                onClicked: dialog.updater.dismiss()
            }
            NimbaraButton {
                id: installButton
                objectName: "updateInstallButton"
                visible: dialog.offering
                text: Copy.texts.updateInstall
                onClicked: dialog.updater.installUpdate()
            }
            NimbaraButton {
                id: closeButton
                objectName: "updateCloseButton"
                visible: !dialog.offering && !dialog.working
                text: Copy.texts.ok
                onClicked: dialog.updater.dismiss()
            }
        }
    }
}
