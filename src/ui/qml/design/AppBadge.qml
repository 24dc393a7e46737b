import QtQuick
import Nimbara

// A small upper-case label on a tinted capsule. Given less room than its text needs, it stays
// within that room and its text ends in an ellipsis.
Item {
    id: badge

    property string text
    property color color: Theme.fg2

    implicitWidth: label.implicitWidth + 16
    implicitHeight: 22

    Rectangle {
        anchors.fill: parent
        radius: 5
        color: Theme.faded(badge.color, 0.10)
    }
    Text {
        id: label
        anchors.centerIn: parent
        width: Math.min(implicitWidth, Math.max(0, badge.width - 16))
        elide: Text.ElideRight
        text: badge.text
        color: badge.color
        font.family: Design.monoFamily
        font.pixelSize: 10
        font.weight: Font.Medium
        font.letterSpacing: 0.6
        font.capitalization: Font.AllUppercase
    }
}
