import QtQuick
import Nimbara

// The strip of section tabs above the preferences page. Only General is active; the tabs are
// labels and do nothing when clicked.
Rectangle {
    id: strip

    implicitHeight: tabs.implicitHeight + 24
    color: Theme.bg2

    Row {
        id: tabs
        x: 12
        y: 12
        spacing: 8

        Repeater {
            model: [
                { symbol: "gearshape", title: Copy.texts.preferencesGeneral, active: true },
                { symbol: "square.grid.2x2", title: Copy.texts.preferencesApps, active: false },
                { symbol: "arrow.down.circle", title: Copy.texts.preferencesUpdates, active: false },
                { symbol: "cpu", title: Copy.texts.preferencesAdvanced, active: false }
            ]
            delegate: Rectangle {
                id: tab

                required property var modelData
                required property int index

                objectName: "preferencesTab" + tab.index
                implicitWidth: label.implicitWidth + 24
                implicitHeight: label.implicitHeight + 14
                radius: 7
                color: tab.modelData.active ? Theme.bg3 : "transparent"
                Accessible.role: Accessible.PageTab
                Accessible.name: tab.modelData.title
                Accessible.selected: tab.modelData.active

                Column {
                    id: label
                    anchors.centerIn: parent
                    spacing: 2

                    Symbol {
                        anchors.horizontalCenter: parent.horizontalCenter
                        name: tab.modelData.symbol
                        size: 15
                        color: tab.modelData.active ? Theme.fg0 : Theme.fg2
                    }
                    Text {
                        anchors.horizontalCenter: parent.horizontalCenter
                        text: tab.modelData.title
                        color: tab.modelData.active ? Theme.fg0 : Theme.fg2
                        font.pixelSize: 11
                    }
                }
            }
        }
    }

    Rectangle {
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        height: 1
        color: Theme.line
    }
}
