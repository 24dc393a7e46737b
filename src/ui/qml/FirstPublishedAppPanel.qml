import QtQuick
import QtQuick.Layouts
import Nimbara 1.0
import "design"
import "design" as Theme

// Home with exactly one published app: one card for it, acting as a button.
CardSurface {
    id: card

    // appPresentation fields plus installLabel.
    property var app: ({})

    signal chosen()

    implicitHeight: content.implicitHeight + 48
    color: area.containsMouse ? Theme.Palette.bg3 : Theme.Palette.bg1
    Accessible.role: Accessible.Button
    Accessible.name: app.name || ""
    Accessible.onPressAction: card.chosen()

    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        onClicked: card.chosen()
    }

    RowLayout {
        id: content
        x: 24
        y: 24
        width: parent.width - 48
        spacing: 18

        NimbaraAppIcon {
            Layout.alignment: Qt.AlignTop
            app: card.app
            size: 68
        }
        Column {
            Layout.fillWidth: true
            spacing: 8

            Row {
                spacing: 8
                AppBadge {
                    text: Copy.texts.firstAppTitle
                    color: Theme.Palette.lime
                }
                AppBadge {
                    text: card.app.releaseStatus || ""
                    color: Theme.Palette.accent(card.app.accent)
                }
            }
            Text {
                width: parent.width
                text: card.app.name || ""
                color: Theme.Palette.fg0
                font.family: Design.displayFamily
                font.pixelSize: 22
                font.weight: Font.DemiBold
                wrapMode: Text.WordWrap
            }
            Text {
                width: parent.width
                text: card.app.tagline || ""
                color: Theme.Palette.fg1
                font.pixelSize: 13
                wrapMode: Text.WordWrap
            }
            Text {
                width: parent.width
                text: Copy.texts.firstAppBody
                color: Theme.Palette.fg2
                font.pixelSize: 13
                wrapMode: Text.WordWrap
            }
            Text {
                text: card.app.installLabel || ""
                color: Theme.Palette.fg3
                font.family: Design.monoFamily
                font.pixelSize: 11
            }
        }
    }
}
