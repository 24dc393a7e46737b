import QtQuick
import "design"
import "design" as Theme

// A symbol on a tinted rounded square, heading a panel.
Rectangle {
    property string symbol
    property color tint: Theme.Palette.lime

    implicitWidth: 46
    implicitHeight: 46
    radius: 12
    color: Theme.Palette.faded(tint, 0.14)

    Symbol {
        anchors.centerIn: parent
        name: parent.symbol
        size: 22
        color: parent.tint
    }
}
