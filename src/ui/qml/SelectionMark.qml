import QtQuick
import Nimbara

// The tick of an onboarding cell: a circle, filled lime with a checkmark when selected.
Rectangle {
    property bool isSelected: false

    implicitWidth: 18
    implicitHeight: 18
    radius: width / 2
    color: isSelected ? Theme.lime : "transparent"
    border.width: 1.5
    border.color: isSelected ? Theme.lime : Theme.line2

    Symbol {
        anchors.centerIn: parent
        visible: parent.isSelected
        name: "checkmark"
        size: 9
        font.bold: true
        color: Theme.ink
    }
}
