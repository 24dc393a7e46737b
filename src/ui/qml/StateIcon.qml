import QtQuick
import Nimbara

// A symbol on a tinted rounded square, heading a panel.
Rectangle {
    property string symbol
    property color tint: Theme.lime

    implicitWidth: 46
    implicitHeight: 46
    radius: 12
    color: Theme.faded(tint, 0.14)

    Symbol {
        anchors.centerIn: parent
        name: parent.symbol
        size: 22
        color: parent.tint
    }
}
