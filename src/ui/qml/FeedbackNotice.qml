import QtQuick
import Nimbara

// A note inside the feedback form: a symbol beside an optional title and a wrapped body, on
// a card surface.
CardSurface {
    id: notice

    property string symbol
    property string title
    property string body
    property color accent: Theme.fg2

    cornerRadius: 8
    implicitHeight: content.implicitHeight + 24

    Row {
        id: content
        x: 12
        y: 12
        width: parent.width - 24
        spacing: 10

        Symbol {
            name: notice.symbol
            size: 18
            color: notice.accent
        }
        Column {
            width: parent.width - 28
            spacing: 3

            Text {
                width: parent.width
                visible: notice.title !== ""
                text: notice.title
                color: Theme.fg0
                font.pixelSize: 13
                font.weight: Font.DemiBold
            }
            Text {
                objectName: "noticeBody"
                width: parent.width
                text: notice.body
                color: notice.title !== "" ? Theme.fg2 : notice.accent
                font.pixelSize: 12
                wrapMode: Text.WordWrap
            }
        }
    }
}
