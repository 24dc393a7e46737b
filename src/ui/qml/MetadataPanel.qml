pragma ComponentBehavior: Bound
import QtQuick
import Nimbara

// The app's bundle, version, system and feed details, then its tags.
CardSurface {
    id: panel

    property AppDetailViewModel detail
    // The label column fits the longest label of the current language, whichever rows the app
    // has, so that it does not jump between apps; at most 55% of the row.
    readonly property real labelWidth: {
        const labels = [Copy.texts.bundleID, Copy.texts.version, Copy.texts.minimumMacOS,
                        Copy.texts.checksum, Copy.texts.updateFeed]
        const widest = Math.max(...labels.map(label => labelMetrics.advanceWidth(label)))
        return Math.min(Math.ceil(widest) + 1, Math.floor(content.width * 0.55))
    }

    objectName: "metadataPanel"
    implicitHeight: content.implicitHeight + 32

    FontMetrics {
        id: labelMetrics
        font.pixelSize: 12 // the size of DetailRow's label
    }

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
                labelWidth: panel.labelWidth
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
