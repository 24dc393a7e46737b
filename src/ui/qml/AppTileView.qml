import QtQuick
import QtQuick.Layouts
import Nimbara

// One app in the library grid: icon, status symbol, name, tagline, release badge and status.
// The tile of the app the detail column shows is outlined in the accent; the grid, which holds
// the keyboard for its tiles, rings the tile its keys act on.
CardSurface {
    id: tile

    property var app: ({})
    property string name
    property string tagline
    property string releaseStatus
    property string tileStatus
    property string statusSymbol
    property string statusAccent
    property string accessibleName
    // The app the detail column shows.
    property bool marked: false
    // The grid has the keyboard focus and its keys act on this tile.
    property bool focusShown: false

    signal clicked()

    cornerRadius: 10
    color: area.containsMouse ? Theme.faded(Theme.bg3, area.pressed ? 0.75 : 1) : Theme.bg1
    border.color: tile.marked ? Theme.lime : Theme.line
    Accessible.role: Accessible.Button
    Accessible.name: accessibleName
    Accessible.checkable: true
    Accessible.checked: tile.marked
    Accessible.onPressAction: tile.clicked()

    FocusRing {
        shown: tile.focusShown
        radius: tile.cornerRadius
    }

    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        onClicked: tile.clicked()
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 14
        spacing: 6

        RowLayout {
            Layout.fillWidth: true
            NimbaraAppIcon {
                app: tile.app
                size: 42
            }
            Item { Layout.fillWidth: true }
            Symbol {
                Layout.alignment: Qt.AlignTop
                name: tile.statusSymbol
                size: 16
                color: Theme.accent(tile.statusAccent)
            }
        }
        Text {
            Layout.fillWidth: true
            Layout.topMargin: 4
            text: tile.name
            color: Theme.fg0
            font.pixelSize: 14
            font.weight: Font.DemiBold
            wrapMode: Text.Wrap
            maximumLineCount: 2
            elide: Text.ElideRight
        }
        // The tagline takes the tile's spare lines, at most two, and ends in an ellipsis beyond.
        Text {
            objectName: "tileTagline"
            Layout.fillWidth: true
            Layout.fillHeight: true
            Layout.alignment: Qt.AlignTop
            text: tile.tagline
            color: Theme.fg2
            font.pixelSize: 12
            wrapMode: Text.Wrap
            maximumLineCount: 2
            elide: Text.ElideRight
            verticalAlignment: Text.AlignTop
        }
        // The status goes under the badge when they do not fit side by side.
        Flow {
            Layout.fillWidth: true
            spacing: 8
            AppBadge {
                text: tile.releaseStatus
                color: Theme.accent(tile.app.accent)
            }
            Text {
                width: Math.min(implicitWidth, parent.width)
                height: 22
                verticalAlignment: Text.AlignVCenter
                text: tile.tileStatus
                color: Theme.fgCaption
                font.pixelSize: 11
                elide: Text.ElideRight
            }
        }
    }
}
