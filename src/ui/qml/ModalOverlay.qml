import QtQuick
import Nimbara

// Frames one piece of content above the window: a dimmer that swallows clicks, and the content
// centred on it in a rounded, outlined, shadowed frame with a 28 margin. Fades in and out with `shown`;
// only the content's own buttons close it.
Item {
    id: overlay

    property bool shown: false
    default property Item content

    anchors.fill: parent
    opacity: shown ? 1 : 0
    visible: opacity > 0
    Behavior on opacity {
        NumberAnimation { duration: 180; easing.type: Easing.InOutQuad }
    }

    onContentChanged: {
        if (content) {
            content.parent = frame
            content.anchors.fill = frame
        }
    }

    Rectangle {
        anchors.fill: parent
        color: "#000000"
        opacity: 0.58
    }
    // A click, scroll or hover on the dimmer reaches nothing beneath it and does nothing.
    MouseArea {
        anchors.fill: parent
        hoverEnabled: true
        acceptedButtons: Qt.AllButtons
        onWheel: (wheel) => { wheel.accepted = true }
    }

    // The frame's shadow (black at 0.38, blur 34, 18 down), built from stacked translucent
    // rounded rectangles that widen as they fade: cheap to draw at any window size.
    Item {
        id: shadow
        x: frame.x
        y: frame.y + 18
        width: frame.width
        height: frame.height

        Repeater {
            model: 8
            delegate: Rectangle {
                required property int index
                readonly property real spread: 34 * (index + 1) / 8
                x: -spread / 2
                y: -spread / 2
                width: parent.width + spread
                height: parent.height + spread
                radius: 16 + spread / 2
                color: "#000000"
                opacity: 0.38 / 8
            }
        }
    }

    Rectangle {
        id: frame
        anchors.centerIn: parent
        width: Math.min(overlay.content ? overlay.content.implicitWidth : 0, overlay.width - 56)
        height: Math.min(overlay.content ? overlay.content.implicitHeight : 0,
                         overlay.height - 56)
        radius: 16
        // A lighter surface and an outline, so the frame stands out from the dimmed page.
        color: Theme.bg1
        border.width: 1
        border.color: Theme.line2
        clip: true
    }
}
