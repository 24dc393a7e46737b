import QtQuick
import Nimbara
import QtQuick.Layouts

// One label and its value; the value can be selected for copying.
RowLayout {
    property string label
    property string value

    spacing: 8

    Text {
        Layout.preferredWidth: 92
        Layout.alignment: Qt.AlignTop
        text: parent.label
        color: Theme.fg3
        font.pixelSize: 12
        elide: Text.ElideRight
    }
    TextEdit {
        Layout.fillWidth: true
        text: parent.value
        color: Theme.fg1
        font.pixelSize: 12
        readOnly: true
        selectByMouse: true
        selectionColor: Theme.violet
        wrapMode: TextEdit.WrapAnywhere
    }
}
