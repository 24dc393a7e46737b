import QtQuick
import QtQuick.Layouts
import Nimbara

// A note under the launch-at-login row: its text in the tint colour, wrapped, with an
// optional control under it.
Item {
    id: note

    property string text
    property color tint: Theme.amber
    default property alias accessory: slot.data

    Layout.fillWidth: true
    implicitHeight: column.implicitHeight + 16

    Column {
        id: column
        x: 14
        y: 8
        width: parent.width - 28
        spacing: 3

        Text {
            objectName: note.objectName + "Text"
            width: parent.width
            text: note.text
            color: note.tint
            font.pixelSize: 12
            wrapMode: Text.Wrap
        }
        Row {
            id: slot
        }
    }
}
