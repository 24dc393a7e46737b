import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Nimbara

// The app's state on this computer and the one action that moves it on; progress, and a way to
// cancel, while it installs; the remove button (with confirmation) while it is installed, and
// the way back to the version an update replaced while it is kept.
CardSurface {
    id: panel

    required property AppDetailViewModel detail
    readonly property appPresentation app: detail.app

    implicitHeight: content.implicitHeight + 32

    ColumnLayout {
        id: content
        x: 16
        y: 16
        width: parent.width - 32
        spacing: 12

        RowLayout {
            Layout.fillWidth: true
            spacing: 12

            Column {
                Layout.fillWidth: true
                spacing: 3
                Text {
                    width: parent.width
                    text: panel.detail ? panel.detail.stateLine : ""
                    color: Theme.fg0
                    font.pixelSize: 13
                    font.weight: Font.DemiBold
                    elide: Text.ElideRight
                }
                Text {
                    width: parent.width
                    text: panel.detail ? panel.detail.actionDetail : ""
                    color: Theme.fgCaption
                    font.pixelSize: 12
                    wrapMode: Text.WordWrap
                }
            }
            NimbaraButton {
                objectName: "primaryActionButton"
                variant: panel.detail ? panel.detail.primaryVariant : ButtonVariant.Primary
                symbol: panel.detail ? panel.detail.primarySymbol : ""
                text: panel.detail ? panel.detail.primaryTitle : ""
                enabled: panel.detail !== null && panel.detail.primaryEnabled
                onClicked: panel.detail.performPrimaryAction()
            }
        }

        RowLayout {
            visible: panel.detail !== null && panel.detail.installing
            Layout.fillWidth: true
            spacing: 12

            ProgressBar {
                id: progressBar
                Layout.fillWidth: true
                from: 0
                to: 1
                value: panel.detail ? panel.detail.progress : 0
                background: Rectangle {
                    implicitHeight: 4
                    radius: 2
                    color: Theme.bg3
                }
                contentItem: Item {
                    implicitHeight: 4
                    Rectangle {
                        width: progressBar.visualPosition * parent.width
                        height: parent.height
                        radius: 2
                        color: Theme.accent(panel.app.accent)
                    }
                }
            }
            NimbaraButton {
                objectName: "cancelInstallButton"
                visible: panel.detail !== null && panel.detail.canCancel
                variant: ButtonVariant.Ghost
                text: Copy.texts.cancelInstallAction
                onClicked: panel.detail.cancelInstall()
            }
        }

        RowLayout {
            visible: panel.detail !== null && panel.detail.showsRemove
            Layout.fillWidth: true
            Item { Layout.fillWidth: true }
            NimbaraButton {
                objectName: "rollbackButton"
                visible: panel.detail !== null && panel.detail.rollbackTitle !== ""
                variant: ButtonVariant.Ghost
                symbol: "arrow.uturn.backward"
                text: panel.detail ? panel.detail.rollbackTitle : ""
                enabled: panel.detail !== null && panel.detail.removeEnabled
                onClicked: panel.detail.rollBack()
            }
            NimbaraButton {
                objectName: "removeButton"
                variant: ButtonVariant.Ghost
                symbol: "trash"
                text: Copy.texts.removeAction
                enabled: panel.detail !== null && panel.detail.removeEnabled
                onClicked: removeConfirmation.confirm(panel.app.id)
            }
        }
    }

    AlertDialog {
        id: removeConfirmation

        property string appID

        function confirm(id) {
            appID = id
            open()
        }

        objectName: "removeConfirmation"
        title: panel.detail ? panel.detail.removeConfirmTitle : ""
        message: panel.detail ? panel.detail.removeConfirmBody : ""
        acceptText: Copy.texts.removeAppConfirmButton
        rejectText: Copy.texts.uninstallCancel
        destructive: true
        onAccepted: panel.detail.confirmRemoval(appID)
    }
}
