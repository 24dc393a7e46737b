import QtQuick
import QtQuick.Layouts
import Nimbara

// How apps are vetted before they reach the launcher: information only.
CardSurface {
    Layout.fillWidth: true
    implicitHeight: column.implicitHeight + 32

    ColumnLayout {
        id: column
        x: 16
        y: 16
        width: parent.width - 32
        spacing: 10

        Text {
            text: Copy.texts.preferencesReleaseReadiness
            color: Theme.fg0
            font.pixelSize: 13
            font.weight: Font.DemiBold
        }
        DistributionRow {
            symbol: "checkmark.seal"
            text: Copy.texts.preferencesSigning
        }
        DistributionRow {
            symbol: "arrow.triangle.2.circlepath"
            text: Copy.texts.preferencesUpdateFeeds
        }
        DistributionRow {
            symbol: "number"
            text: Copy.texts.preferencesChecksums
        }
    }
}
