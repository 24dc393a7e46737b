import QtQuick
import QtQuick.Layouts
import Nimbara

// Who the app is: icon, name, tagline, category, release status and description.
Column {
    id: hero

    required property AppDetailViewModel detail
    readonly property appPresentation app: detail.app

    spacing: 14

    RowLayout {
        width: parent.width
        spacing: 14

        NimbaraAppIcon {
            Layout.alignment: Qt.AlignTop
            app: hero.app
            size: 70
        }
        Column {
            Layout.fillWidth: true
            Layout.alignment: Qt.AlignTop
            spacing: 7

            Text {
                width: parent.width
                text: hero.app.name || ""
                color: Theme.fg0
                font.family: Design.displayFamily
                font.pixelSize: 30
                font.weight: Font.DemiBold
                wrapMode: Text.WordWrap
            }
            Text {
                width: parent.width
                text: hero.app.tagline || ""
                color: Theme.fg2
                font.pixelSize: 13
                wrapMode: Text.WordWrap
            }
            // The badge moves under a category too long to share its line.
            Flow {
                width: parent.width
                spacing: 8
                Text {
                    height: Math.max(22, contentHeight)
                    width: Math.min(implicitWidth, parent.width)
                    verticalAlignment: Text.AlignVCenter
                    wrapMode: Text.Wrap
                    text: hero.app.category || ""
                    color: Theme.fgCaption
                    font.family: Design.monoFamily
                    font.pixelSize: 10
                    font.weight: Font.Medium
                    font.letterSpacing: 0.8
                    font.capitalization: Font.AllUppercase
                }
                AppBadge {
                    text: hero.app.releaseStatus || ""
                    color: Theme.accent(hero.app.accent)
                }
            }
        }
    }

    Text {
        width: parent.width
        text: hero.app.description || ""
        color: Theme.fg2
        font.pixelSize: 13
        lineHeightMode: Text.FixedHeight
        lineHeight: 20
        wrapMode: Text.WordWrap
    }
}
