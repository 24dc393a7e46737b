pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls.Basic
import Nimbara

// The language picker: the locales' codes, 112 wide. Up and Down choose without opening it;
// Space opens the list.
ComboBox {
    id: control

    implicitWidth: 112
    implicitHeight: 28
    font.pixelSize: 12

    background: Rectangle {
        radius: 6
        color: Theme.bg3
        border.width: 1
        border.color: control.visualFocus ? Theme.lime : Theme.line2
    }

    contentItem: Text {
        leftPadding: 10
        text: control.displayText
        color: Theme.fg0
        font: control.font
        verticalAlignment: Text.AlignVCenter
    }

    delegate: ItemDelegate {
        id: entry

        required property string modelData
        required property int index

        width: control.width
        text: entry.modelData
        highlighted: control.highlightedIndex === entry.index
        contentItem: Text {
            text: entry.text
            color: entry.highlighted ? Theme.ink : Theme.fg0
            font: control.font
        }
        background: Rectangle {
            color: entry.highlighted ? Theme.lime : Theme.bg1
        }
    }
}
