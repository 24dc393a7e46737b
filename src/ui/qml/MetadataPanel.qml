import QtQuick
import Nimbara

// The app's bundle, version, system and feed details, then its tags.
CardSurface {
    id: panel

    property AppDetailViewModel detail

    implicitHeight: content.implicitHeight + 32

    Column {
        id: content
        x: 16
        y: 16
        width: parent.width - 32
        spacing: 12

        Text {
            text: Copy.texts.detailsTitle
            color: Theme.fg0
            font.pixelSize: 13
            font.weight: Font.DemiBold
        }
        Repeater {
            model: panel.detail ? panel.detail.metadataRows : []
            delegate: DetailRow {
                id: row

                required property metadataRow modelData

                width: parent.width
                label: row.modelData.label
                value: row.modelData.value
            }
        }
        Flow {
            width: parent.width
            spacing: 6
            Repeater {
                model: panel.detail ? panel.detail.tags : []
                delegate: AppBadge {
                    required property string modelData
                    text: modelData
                    color: Theme.fg2
                }
            }
        }
    }
}
