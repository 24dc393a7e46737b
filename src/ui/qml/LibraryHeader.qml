import QtQuick
import Nimbara

// The blocks above the library's tiles: the greeting, then the one panel the library chose (a
// lifecycle panel on home, the section's heading elsewhere).
Column {
    id: header

    required property LibraryViewModel library

    signal appChosen(string appID)

    topPadding: 28
    bottomPadding: header.library.apps.count > 0 ? 16 : 0
    spacing: 24

    Column {
        width: parent.width
        spacing: 6
        Text {
            width: parent.width
            text: header.library.greeting
            color: Theme.fg0
            font.family: Design.displayFamily
            font.pixelSize: 28
            font.weight: Font.DemiBold
            wrapMode: Text.WordWrap
        }
        Text {
            width: parent.width
            text: header.library.subtitle
            color: Theme.fg2
            font.pixelSize: 13
            wrapMode: Text.WordWrap
        }
    }

    EmptyCatalogPanel {
        visible: header.library.panel === LibraryPanel.EmptyCatalog
        width: parent.width
        onRefreshRequested: header.library.refreshCatalog()
    }
    ComingSoonPanel {
        visible: header.library.panel === LibraryPanel.ComingSoon
        width: parent.width
    }
    FirstPublishedAppPanel {
        visible: header.library.panel === LibraryPanel.FirstPublishedApp
        width: parent.width
        app: header.library.featured
        installLabel: header.library.featuredInstallLabel
        onChosen: header.appChosen(header.library.featured.id)
    }
    Column {
        visible: header.library.panel === LibraryPanel.AppSection
        width: parent.width
        spacing: 14
        Item {
            width: parent.width
            height: Math.max(title.implicitHeight, subtitle.implicitHeight,
                             sectionUpdateAll.visible ? sectionUpdateAll.implicitHeight : 0)
            Text {
                id: title
                anchors.left: parent.left
                anchors.verticalCenter: parent.verticalCenter
                text: header.library.sectionTitle
                color: Theme.fg0
                font.pixelSize: 15
                font.weight: Font.DemiBold
            }
            // The Updates section offers updating every app beside its count.
            UpdateAllButton {
                id: sectionUpdateAll
                objectName: "sectionUpdateAllButton"
                anchors.right: parent.right
                anchors.verticalCenter: parent.verticalCenter
                visible: header.library.section === SidebarSection.Updates && shown
            }
            Text {
                id: subtitle
                anchors.right: sectionUpdateAll.visible ? sectionUpdateAll.left : parent.right
                anchors.rightMargin: sectionUpdateAll.visible ? 12 : 0
                anchors.baseline: title.baseline
                text: header.library.sectionSubtitle
                color: Theme.fgCaption
                font.pixelSize: 12
            }
        }
        EmptyStateView {
            visible: header.library.showsEmptyState
            width: parent.width
            symbol: header.library.emptySymbol
            title: header.library.emptyTitle
            body: header.library.emptyBody
        }
    }
    EmptyStateView {
        visible: header.library.panel === LibraryPanel.EmptyState
        width: parent.width
        symbol: header.library.emptySymbol
        title: header.library.emptyTitle
        body: header.library.emptyBody
    }
}
