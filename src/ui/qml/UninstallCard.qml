import QtQuick
import QtQuick.Layouts
import Nimbara

// Removing every managed app and the launcher itself: the delete-app-data choice and the
// button that asks for the confirmation (disabled while an uninstall runs).
CardSurface {
    id: card

    required property PreferencesViewModel preferences

    Layout.fillWidth: true
    implicitHeight: column.implicitHeight + 32

    ColumnLayout {
        id: column
        x: 16
        y: 16
        width: parent.width - 32
        spacing: 10

        Text {
            text: Copy.texts.uninstallSectionTitle
            color: Theme.fg0
            font.pixelSize: 13
            font.weight: Font.DemiBold
        }
        Text {
            Layout.fillWidth: true
            text: Copy.texts.uninstallSectionBody
            color: Theme.fgCaption
            font.pixelSize: 12
            wrapMode: Text.Wrap
        }
        PreferenceSwitch {
            objectName: "deleteAppDataSwitch"
            text: Copy.texts.uninstallDeleteDataToggle
            on: card.preferences.deleteAppData
            onSwitched: (value) => { card.preferences.deleteAppData = value }
        }
        RowLayout {
            NimbaraButton {
                objectName: "uninstallEverythingButton"
                variant: ButtonVariant.Secondary
                labelColor: Theme.destructive
                text: Copy.texts.uninstallEverythingAction
                enabled: card.preferences.uninstallEnabled
                onClicked: card.preferences.requestUninstall()
            }
            Item {
                Layout.fillWidth: true
            }
        }
    }
}
