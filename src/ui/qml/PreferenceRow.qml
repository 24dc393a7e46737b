import QtQuick
import QtQuick.Layouts
import Nimbara

// One row of the general card: the title, free space and the accessory control, 44 high with
// a faint line along its bottom.
Item {
    id: row

    property string title
    default property alias accessory: slot.data

    Layout.fillWidth: true
    implicitHeight: 44

    RowLayout {
        anchors.fill: parent
        anchors.leftMargin: 14
        anchors.rightMargin: 14
        spacing: 14

        Text {
            Layout.fillWidth: true
            text: row.title
            color: Theme.fg1
            font.pixelSize: 13
            elide: Text.ElideRight
        }
        Row {
            id: slot
            Layout.alignment: Qt.AlignVCenter
        }
    }

    Rectangle {
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        height: 1
        color: Theme.line
        opacity: 0.7
    }
}
