import QtQuick
import QtQuick.Controls.Basic
import Nimbara

// The library: a header, the section's content (a lifecycle panel on home, a grid of tiles
// elsewhere) and the basics panel, as one scrolling page. The page is a GridView whose header
// and footer carry the blocks around the tiles, so only visible tiles exist.
Item {
    id: libraryView

    property string searchText
    property int section: SidebarSection.Home

    // Run after an app was chosen (it is already the store's selected app).
    signal appSelected()

    readonly property alias viewModel: libraryModel

    function choose(appID) {
        libraryModel.chooseApp(appID)
        libraryView.appSelected()
    }

    LibraryViewModel {
        id: libraryModel
        store: Launcher.store
        section: libraryView.section
        searchText: libraryView.searchText
    }

    GridView {
        id: grid

        // Every cell carries the gap on its trailing and bottom side; the grid reaches one gap
        // into the right margin so that the last column's gap lies outside the content.
        readonly property int gap: 12
        readonly property real usableWidth: width - gap
        readonly property int columns: Math.max(1, Math.floor(width / (220 + gap)))

        objectName: "libraryGrid"
        anchors.fill: parent
        anchors.leftMargin: 28
        anchors.rightMargin: 28 - gap
        clip: true
        boundsBehavior: Flickable.StopAtBounds
        cellWidth: Math.floor(width / columns)
        cellHeight: 152 + gap
        model: libraryModel.apps
        ScrollBar.vertical: ScrollBar {
            parent: libraryView
            anchors.top: parent.top
            anchors.right: parent.right
            anchors.bottom: parent.bottom
        }

        header: Column {
            width: grid.usableWidth
            topPadding: 28
            bottomPadding: libraryModel.apps.count > 0 ? 16 : 0
            spacing: 24

            Column {
                width: parent.width
                spacing: 6
                Text {
                    width: parent.width
                    text: libraryModel.greeting
                    color: Theme.fg0
                    font.family: Design.displayFamily
                    font.pixelSize: 28
                    font.weight: Font.DemiBold
                    wrapMode: Text.WordWrap
                }
                Text {
                    width: parent.width
                    text: libraryModel.subtitle
                    color: Theme.fg2
                    font.pixelSize: 13
                    wrapMode: Text.WordWrap
                }
            }

            Loader {
                width: parent.width
                sourceComponent: {
                    switch (libraryModel.panel) {
                    case LibraryPanel.EmptyCatalog: return emptyCatalogPanel
                    case LibraryPanel.ComingSoon: return comingSoonPanel
                    case LibraryPanel.FirstPublishedApp: return featuredPanel
                    case LibraryPanel.AppSection: return appSectionHeader
                    default: return emptyStatePanel
                    }
                }
            }
        }

        footer: Column {
            width: grid.usableWidth
            topPadding: libraryModel.apps.count > 0 ? 12 : 24
            bottomPadding: 28
            BasicsPanel { width: parent.width }
        }

        delegate: Item {
            id: cell

            required property string appId
            required property string name
            required property string tagline
            required property string accent
            required property string symbolName
            required property string iconUrl
            required property string releaseStatus
            required property string tileStatus
            required property string statusSymbol
            required property string statusAccent
            required property string accessibleName

            width: grid.cellWidth
            height: grid.cellHeight

            AppTileView {
                objectName: "appTile_" + cell.appId
                width: parent.width - grid.gap
                height: parent.height - grid.gap
                app: ({ accent: cell.accent, symbolName: cell.symbolName, iconUrl: cell.iconUrl })
                name: cell.name
                tagline: cell.tagline
                releaseStatus: cell.releaseStatus
                tileStatus: cell.tileStatus
                statusSymbol: cell.statusSymbol
                statusAccent: cell.statusAccent
                accessibleName: cell.accessibleName
                onClicked: libraryView.choose(cell.appId)
            }
        }
    }

    Component {
        id: emptyCatalogPanel
        EmptyCatalogPanel {
            onRefreshRequested: libraryModel.refreshCatalog()
        }
    }
    Component {
        id: comingSoonPanel
        ComingSoonPanel {}
    }
    Component {
        id: featuredPanel
        FirstPublishedAppPanel {
            app: libraryModel.featured
            installLabel: libraryModel.featuredInstallLabel
            onChosen: libraryView.choose(libraryModel.featured.id)
        }
    }
    Component {
        id: appSectionHeader
        Column {
            spacing: 14
            Item {
                width: parent.width
                height: Math.max(title.implicitHeight, subtitle.implicitHeight)
                Text {
                    id: title
                    anchors.left: parent.left
                    text: libraryModel.sectionTitle
                    color: Theme.fg0
                    font.pixelSize: 15
                    font.weight: Font.DemiBold
                }
                Text {
                    id: subtitle
                    anchors.right: parent.right
                    anchors.baseline: title.baseline
                    text: libraryModel.sectionSubtitle
                    color: Theme.fg3
                    font.pixelSize: 12
                }
            }
            EmptyStateView {
                visible: libraryModel.showsEmptyState
                width: parent.width
                symbol: libraryModel.emptySymbol
                title: libraryModel.emptyTitle
                body: libraryModel.emptyBody
            }
        }
    }
    Component {
        id: emptyStatePanel
        EmptyStateView {
            symbol: libraryModel.emptySymbol
            title: libraryModel.emptyTitle
            body: libraryModel.emptyBody
        }
    }
}
