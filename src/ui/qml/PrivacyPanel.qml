import QtQuick
import QtQuick.Layouts
import Nimbara

// The app's privacy note.
CardSurface {
    id: panel

    property AppDetailViewModel detail

    implicitHeight: content.implicitHeight + 32

    RowLayout {
        id: content
        x: 16
        y: 16
        width: parent.width - 32
        spacing: 10

        Symbol {
            Layout.alignment: Qt.AlignTop
            name: "lock.shield"
            size: 18
            color: Theme.lime
        }
        Column {
            Layout.fillWidth: true
            spacing: 4
            Text {
                text: Copy.texts.privacyTitle
                color: Theme.fg0
                font.pixelSize: 13
                font.weight: Font.DemiBold
            }
            Text {
                width: parent.width
                text: panel.detail ? (panel.detail.app.privacyNote || "") : ""
                color: Theme.fg2
                font.pixelSize: 12
                lineHeightMode: Text.FixedHeight
                lineHeight: 18
                wrapMode: Text.WordWrap
            }
        }
    }
}
