import QtQuick
import QtQuick.Controls.Basic
import Nimbara

// The store's selected app in detail, or a note that nothing is selected.
Rectangle {
    id: detailView

    readonly property alias viewModel: detailModel

    color: Theme.bg0

    AppDetailViewModel {
        id: detailModel
        store: Launcher.store
    }

    Column {
        visible: !detailModel.hasApp
        anchors.centerIn: parent
        width: Math.min(260, parent.width - 48)
        spacing: 8

        Symbol {
            anchors.horizontalCenter: parent.horizontalCenter
            name: "square.grid.2x2"
            size: 30
            color: Theme.fg3
        }
        Text {
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            text: Copy.texts.selectedAppEmptyTitle
            color: Theme.fg0
            font.pixelSize: 13
            font.weight: Font.Medium
            wrapMode: Text.WordWrap
        }
        Text {
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            text: Copy.texts.selectedAppEmptyBody
            color: Theme.fgCaption
            font.pixelSize: 12
            wrapMode: Text.WordWrap
        }
    }

    Flickable {
        id: scroller
        visible: detailModel.hasApp
        anchors.fill: parent
        contentWidth: width
        contentHeight: column.implicitHeight + 48
        boundsBehavior: Flickable.StopAtBounds
        clip: true
        ScrollBar.vertical: ScrollBar { policy: ScrollBar.AlwaysOn }

        Column {
            id: column
            x: 24
            y: 24
            width: scroller.width - 48
            spacing: 10

            DetailHero { width: parent.width; detail: detailModel }
            ActionPanel { width: parent.width; detail: detailModel }
            MetadataPanel {
                visible: detailModel.showsMetadata
                width: parent.width
                detail: detailModel
            }
            ReleaseNotesPanel {
                visible: detailModel.releaseNotes.length > 0
                width: parent.width
                detail: detailModel
            }
            PrivacyPanel { width: parent.width; detail: detailModel }
        }
    }
}
