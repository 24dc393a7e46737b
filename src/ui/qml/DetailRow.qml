import QtQuick
import Nimbara
import QtQuick.Layouts

// One label and its value; the value can be selected for copying and wraps after the separators
// of addresses and identifiers rather than inside a word. The breaks are for display only: a copy
// takes the value itself.
RowLayout {
    id: row

    readonly property int labelPixelSize: 12
    property string label
    property string value
    // The label column's width, the same for every row of a card: its owner measures the longest
    // label of the current language.
    property real labelWidth: labelText.implicitWidth

    spacing: 8

    Text {
        id: labelText
        objectName: "detailRowLabel"
        Layout.preferredWidth: row.labelWidth
        Layout.maximumWidth: row.labelWidth
        Layout.alignment: Qt.AlignTop
        text: row.label
        color: Theme.fgCaption
        font.pixelSize: row.labelPixelSize
        elide: Text.ElideRight
    }
    TextEdit {
        id: valueText
        objectName: "detailRowValue"
        Layout.fillWidth: true
        Layout.preferredWidth: 0
        text: LayoutRules.breakable(row.value)
        color: Theme.fg1
        font.pixelSize: row.labelPixelSize
        readOnly: true
        selectByMouse: true
        selectionColor: Theme.violet
        wrapMode: TextEdit.Wrap
        Keys.onPressed: (event) => {
            if (event.matches(StandardKey.Copy) && valueText.selectedText !== "") {
                event.accepted = true
                clipboardText.text = LayoutRules.sourceSlice(row.value, valueText.selectionStart,
                                                             valueText.selectionEnd)
                clipboardText.selectAll()
                clipboardText.copy()
            }
        }
    }
    // Carries the copied part of the value to the clipboard.
    TextEdit {
        id: clipboardText
        visible: false
        Layout.preferredWidth: 0
    }
}
