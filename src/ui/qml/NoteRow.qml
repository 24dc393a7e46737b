import QtQuick
import Nimbara
import QtQuick.Layouts

// A line of text led by a symbol, with an optional heading.
RowLayout {
    id: note

    property string symbol: "checkmark.circle"
    property string title
    property string text

    spacing: 10

    Symbol {
        Layout.alignment: Qt.AlignTop
        name: note.symbol
        size: 16
        color: Theme.lime
    }
    Column {
        Layout.fillWidth: true
        spacing: 3
        Text {
            visible: note.title !== ""
            width: parent.width
            text: note.title
            color: Theme.fg0
            font.pixelSize: 13
            font.weight: Font.DemiBold
            wrapMode: Text.WordWrap
        }
        Text {
            width: parent.width
            text: note.text
            color: Theme.fg2
            font.pixelSize: 13
            wrapMode: Text.WordWrap
        }
    }
}
