import QtQuick
import Nimbara

// Every release note of the app, in catalog order.
CardSurface {
    id: panel

    property AppDetailViewModel detail

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
                id: note

                required property releaseNoteRow modelData

                width: parent.width
                spacing: 4

                Row {
                    spacing: 8
                    Text {
                        text: note.modelData.version
                        color: Theme.accent(note.modelData.accent)
                        font.family: Design.monoFamily
                        font.pixelSize: 11
                    }
                    Text {
                        text: note.modelData.date
                        color: Theme.fgCaption
                        font.pixelSize: 11
                    }
                }
                Text {
                    width: parent.width
                    text: note.modelData.text
                    color: Theme.fg2
                    font.pixelSize: 12
                    wrapMode: Text.WordWrap
                }
            }
        }
    }
}
