import QtQuick
import QtQuick.Layouts
import Nimbara

// Home with exactly one published app: one card for it, acting as a button.
CardSurface {
    id: card

    property appPresentation app
    property string installLabel

    signal chosen()

    implicitHeight: content.implicitHeight + 48
    color: area.containsMouse ? Theme.bg3 : Theme.bg1
    Accessible.role: Accessible.Button
    Accessible.name: app.name
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
                    color: Theme.lime
                }
                AppBadge {
                    text: card.app.releaseStatus || ""
                    color: Theme.accent(card.app.accent)
                }
            }
            Text {
                width: parent.width
                text: card.app.name || ""
                color: Theme.fg0
                font.family: Design.displayFamily
                font.pixelSize: 22
                font.weight: Font.DemiBold
                wrapMode: Text.WordWrap
            }
            Text {
                width: parent.width
                text: card.app.tagline || ""
                color: Theme.fg1
                font.pixelSize: 13
                wrapMode: Text.WordWrap
            }
            Text {
                width: parent.width
                text: Copy.texts.firstAppBody
                color: Theme.fg2
                font.pixelSize: 13
                wrapMode: Text.WordWrap
            }
            Text {
                text: card.installLabel
                color: Theme.fgCaption
                font.family: Design.monoFamily
                font.pixelSize: 11
            }
        }
    }
}
