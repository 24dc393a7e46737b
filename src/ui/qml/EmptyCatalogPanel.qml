import QtQuick
import Nimbara 1.0
import "design"
import "design" as Theme

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
            tint: Theme.Palette.lime
        }
        Text {
            width: parent.width
            text: Copy.texts.emptyTitle
            color: Theme.Palette.fg0
            font.family: Design.displayFamily
            font.pixelSize: 20
            font.weight: Font.DemiBold
            wrapMode: Text.WordWrap
        }
        Text {
            width: parent.width
            text: Copy.texts.emptyBody
            color: Theme.Palette.fg2
            font.pixelSize: 13
            wrapMode: Text.WordWrap
        }
        NimbaraButton {
            variant: "primary"
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
