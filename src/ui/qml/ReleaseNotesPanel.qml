import QtQuick
import Nimbara

// Every release note of the app, in catalog order.
CardSurface {
    id: panel

    property AppDetailViewModel detail
    readonly property color accent: Theme.accent(detail ? detail.app.accent : "")

    implicitHeight: content.implicitHeight + 32

    Column {
        id: content
        x: 16
        y: 16
        width: parent.width - 32
        spacing: 12

        Text {
            text: Copy.texts.recentUpdates
            color: Theme.fg0
            font.pixelSize: 13
            font.weight: Font.DemiBold
        }
        Repeater {
            model: panel.detail ? panel.detail.releaseNotes : []
            delegate: Column {
                required property var modelData
                width: content.width
                spacing: 4

                Row {
                    spacing: 8
                    Text {
                        text: modelData.version
                        color: panel.accent
                        font.family: Design.monoFamily
                        font.pixelSize: 11
                    }
                    Text {
                        text: modelData.date
                        color: Theme.fg3
                        font.pixelSize: 11
                    }
                }
                Text {
                    width: parent.width
                    text: modelData.text
                    color: Theme.fg2
                    font.pixelSize: 12
                    wrapMode: Text.WordWrap
                }
            }
        }
    }
}
