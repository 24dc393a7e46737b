import QtQuick
import QtQuick.Layouts
import Nimbara

// One step of the onboarding's progress: a circular mark and its title. Done steps carry a
// checkmark; the active step's title is the brightest.
RowLayout {
    id: step

    property string title
    property bool done: false
    property bool active: false

    spacing: 10

    // Both sides hang from the top, so the mark stays beside the title's first line however the
    // title wraps.
    Rectangle {
        Layout.alignment: Qt.AlignTop
        implicitWidth: 16
        implicitHeight: 16
        radius: 8
        color: step.done ? Theme.lime : "transparent"
        border.width: 1.5
        border.color: step.done || step.active ? Theme.lime : Theme.line2

        Symbol {
            anchors.centerIn: parent
            visible: step.done
            name: "checkmark"
            size: 8
            font.bold: true
            color: Theme.ink
        }
    }
    Text {
        Layout.alignment: Qt.AlignTop
        Layout.fillWidth: true
        text: step.title
        color: step.active ? Theme.fg0 : step.done ? Theme.fg2 : Theme.fgCaption
        font.pixelSize: 13
        wrapMode: Text.WordWrap
    }
}
