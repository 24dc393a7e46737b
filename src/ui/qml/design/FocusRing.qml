import QtQuick
import Nimbara

// The keyboard focus ring: an accent outline just outside the item it fills, shown while
// `shown` (bind it to a control's visualFocus, so that a mouse click draws no ring). The item
// itself keeps its parent's geometry; only the outline reaches past it.
Item {
    id: ring

    property bool shown: false
    // The corner radius of the outlined item.
    property real radius: 8

    objectName: "focusRing"
    anchors.fill: parent
    visible: ring.shown
    Accessible.ignored: true

    Rectangle {
        readonly property real gap: 2

        anchors.fill: parent
        anchors.margins: -(gap + border.width)
        radius: ring.radius + gap + border.width
        color: "transparent"
        border.width: 2
        border.color: Theme.lime
    }
}
