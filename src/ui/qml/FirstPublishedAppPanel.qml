import QtQuick
import QtQuick.Layouts
import QtQuick.Templates as T
import Nimbara

// Home with exactly one published app: one card for it, acting as a button (Tab reaches it,
// Return and Space choose it).
T.AbstractButton {
    id: card

    property appPresentation app
    property string installLabel

    signal chosen()

    objectName: "featuredCard"
    implicitHeight: implicitContentHeight + topPadding + bottomPadding
    padding: 24
    hoverEnabled: true
    focusPolicy: Qt.StrongFocus
    Accessible.role: Accessible.Button
    Accessible.name: card.app.name || ""
    Accessible.onPressAction: card.chosen()
    Keys.onReturnPressed: card.chosen()
    Keys.onEnterPressed: card.chosen()
    onClicked: card.chosen()

    background: CardSurface {
        color: card.down ? Theme.faded(Theme.bg3, 0.75) : card.hovered ? Theme.bg3 : Theme.bg1

        FocusRing {
            shown: card.visualFocus
            radius: 10
        }
    }

    contentItem: RowLayout {
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
