import QtQuick
import QtQuick.Controls.Basic
import Nimbara

// A switch that shows `on` and reports the user's flips through `switched`; afterwards it shows
// `on` again, whatever its owner made of the request. Space toggles it when focused.
Switch {
    id: control

    property bool on

    signal switched(bool value)

    checked: on
    onToggled: {
        control.switched(control.checked)
        control.checked = Qt.binding(() => control.on)
    }
    padding: 0
    spacing: 10
    // The indicator counts in the width, so that rows leave room for it.
    implicitWidth: indicator.implicitWidth
                   + (text !== "" ? spacing + contentItem.implicitWidth : 0)
    implicitHeight: Math.max(indicator.implicitHeight, contentItem.implicitHeight)
    font.pixelSize: 13
    Accessible.name: text

    indicator: Rectangle {
        x: control.leftPadding
        y: control.topPadding + (control.availableHeight - height) / 2
        implicitWidth: 38
        implicitHeight: 22
        radius: 11
        color: control.checked ? Theme.lime : Theme.bg3
        border.width: 1
        border.color: control.visualFocus ? Theme.lime : Theme.line2

        Rectangle {
            x: control.checked ? parent.width - width - 3 : 3
            anchors.verticalCenter: parent.verticalCenter
            width: 16
            height: 16
            radius: 8
            color: control.checked ? Theme.ink : Theme.fg1
            Behavior on x {
                NumberAnimation { duration: 120 }
            }
        }
    }

    contentItem: Text {
        leftPadding: control.text !== "" ? control.indicator.width + control.spacing : 0
        text: control.text
        color: Theme.fg1
        font: control.font
        verticalAlignment: Text.AlignVCenter
    }
}
