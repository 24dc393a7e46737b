import QtQuick
import Nimbara

// Shown where a list has nothing to show.
CardSurface {
    id: empty

    property string symbol
    property string title
    property string body

    implicitHeight: content.implicitHeight + 48

    Column {
        id: content
        anchors.centerIn: parent
        width: Math.min(parent.width - 48, 360)
        spacing: 8

        Symbol {
            anchors.horizontalCenter: parent.horizontalCenter
            name: empty.symbol
            size: 26
            color: Theme.fg3
        }
        Text {
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            text: empty.title
            color: Theme.fg0
            font.pixelSize: 14
            font.weight: Font.DemiBold
            wrapMode: Text.WordWrap
        }
        Text {
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            text: empty.body
            color: Theme.fg2
            font.pixelSize: 13
            wrapMode: Text.WordWrap
        }
    }
}
