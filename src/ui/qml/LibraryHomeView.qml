import QtQuick
import QtQuick.Controls.Basic
import Nimbara

// The library: a header, the section's content (a lifecycle panel on home, a grid of tiles
// elsewhere) and the basics panel, as one scrolling page. The page is a grid whose header and
// footer carry the blocks around the tiles, so only visible tiles exist. What the header, footer
// and tiles need from here, they reach through the grid that made them.
Item {
    id: libraryView

    property string searchText
    property int section: SidebarSection.Home
    // Tiles per row, the shell's to choose.
    property int columns: 2

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

    LibraryGrid {
        id: grid

        objectName: "libraryGrid"
        anchors.fill: parent
        anchors.leftMargin: LayoutRules.libraryMargin
        anchors.rightMargin: LayoutRules.libraryMargin - grid.gap
        library: libraryModel
        columns: libraryView.columns
        onAppChosen: (appID) => libraryView.choose(appID)
        ScrollBar.vertical: ScrollBar {
            parent: libraryView
            anchors.top: parent.top
            anchors.right: parent.right
            anchors.bottom: parent.bottom
        }

        header: LibraryHeader {
            readonly property LibraryGrid view: GridView.view as LibraryGrid
            width: view.usableWidth
            library: view.library
            onAppChosen: (appID) => view.appChosen(appID)
        }

        footer: Column {
            id: footer
            readonly property LibraryGrid view: GridView.view as LibraryGrid
            width: footer.view.usableWidth
            topPadding: footer.view.count > 0 ? 12 : 24
            bottomPadding: 28
            BasicsPanel { width: parent.width }
        }

        // A scope, so that the focus the grid gives its current cell reaches the tile.
        delegate: FocusScope {
            id: cell

            required property int index
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
            readonly property LibraryGrid view: GridView.view as LibraryGrid

            width: cell.view.cellWidth
            height: cell.view.cellHeight

            AppTileView {
                id: tileView
                objectName: "appTile_" + cell.appId
                focus: true
                // The current tile is the grid's Tab stop; the focused one stays one until the
                // focus has moved on (Qt refuses to drop it from the focused item).
                activeFocusOnTab: cell.GridView.isCurrentItem || tileView.activeFocus
                width: parent.width - cell.view.gap
                height: parent.height - cell.view.gap
                app: ({ accent: cell.accent, symbolName: cell.symbolName, iconUrl: cell.iconUrl })
                name: cell.name
                tagline: cell.tagline
                releaseStatus: cell.releaseStatus
                tileStatus: cell.tileStatus
                statusSymbol: cell.statusSymbol
                statusAccent: cell.statusAccent
                accessibleName: cell.accessibleName
                marked: cell.index === cell.view.library.shownIndex
                focusShown: tileView.activeFocus && !cell.view.focusByMouse
                onClicked: cell.view.clickedAt(cell.index)
            }
        }
    }
}
