import QtQuick
import Nimbara

// Home when the catalog only has previews; the preview tiles follow below it.
Column {
    spacing: 12

    Row {
        spacing: 12
        StateIcon {
            symbol: "sparkles"
            tint: Theme.amber
        }
        AppBadge {
            anchors.verticalCenter: parent.verticalCenter
            text: Copy.texts.statusComingSoon
            color: Theme.amber
        }
    }
    Text {
        width: parent.width
        text: Copy.texts.comingSoonTitle
        color: Theme.fg0
        font.family: Design.displayFamily
        font.pixelSize: 20
        font.weight: Font.DemiBold
        wrapMode: Text.WordWrap
    }
    Text {
        width: parent.width
        text: Copy.texts.comingSoonBody
        color: Theme.fg2
        font.pixelSize: 13
        wrapMode: Text.WordWrap
    }
}
