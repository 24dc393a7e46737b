import QtQuick
import Nimbara

// Home with an empty catalog: what the user has, a button to check for apps, what comes next.
CardSurface {
    id: panel

    signal refreshRequested()

    implicitHeight: content.implicitHeight + 48

    Column {
        id: content
        x: 24
        y: 24
        width: parent.width - 48
        spacing: 14

        StateIcon {
            symbol: "tray"
            tint: Theme.lime
        }
        Text {
            width: parent.width
            text: Copy.texts.emptyTitle
            color: Theme.fg0
            font.family: Design.displayFamily
            font.pixelSize: 20
            font.weight: Font.DemiBold
            wrapMode: Text.WordWrap
        }
        Text {
            width: parent.width
            text: Copy.texts.emptyBody
            color: Theme.fg2
            font.pixelSize: 13
            wrapMode: Text.WordWrap
        }
        NimbaraButton {
            objectName: "refreshCatalogButton"
            variant: ButtonVariant.Primary
            symbol: "arrow.clockwise"
            text: Copy.texts.emptyPrimaryAction
            Accessible.name: Copy.texts.refreshCatalog
            onClicked: panel.refreshRequested()
        }
        NoteRow {
            width: parent.width
            symbol: "checkmark.seal"
            title: Copy.texts.emptyTrustTitle
            text: Copy.texts.emptyTrustBody
        }
    }
}
