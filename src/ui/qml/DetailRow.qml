import QtQuick
import Nimbara
import QtQuick.Layouts

// One label and its value; the value can be selected for copying and wraps.
RowLayout {
    id: row

    readonly property int labelPixelSize: 12
    property string label
    property string value
    // The label column's width, the same for every row of a card.
    property real labelWidth: 92

    spacing: 8

    Text {
        objectName: "detailRowLabel"
        Layout.preferredWidth: row.labelWidth
        Layout.maximumWidth: row.labelWidth
        Layout.alignment: Qt.AlignTop
        text: row.label
        color: Theme.fgCaption
        font.pixelSize: row.labelPixelSize
        wrapMode: Text.Wrap
    }
    TextEdit {
        objectName: "detailRowValue"
        Layout.fillWidth: true
        text: row.value
        color: Theme.fg1
        font.pixelSize: row.labelPixelSize
        readOnly: true
        selectByMouse: true
        selectionColor: Theme.violet
        wrapMode: TextEdit.WrapAnywhere
    }
}
