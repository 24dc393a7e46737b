import QtQuick
import Nimbara

// The library's tiles in a grid. Every cell carries the gap on its trailing and bottom side; the
// grid reaches one gap into the right margin so that the last column's gap lies outside the
// content. The header, footer and tiles the grid makes reach the library and the grid's measures
// through `GridView.view as LibraryGrid`.
GridView {
    id: grid

    property LibraryViewModel library
    readonly property int gap: LayoutRules.tileGap
    readonly property real usableWidth: width - gap
    // Tiles per row; the shell sets it from the window's width, so that a wider window never
    // holds fewer per row than a narrower one.
    property int columns: 2

    // The keyboard reaches the tiles through one stop of the Tab chain, the tile under the
    // cursor: the selected tile (the app the detail column shows), or the first one while the
    // selected app is not listed. The arrow keys move the selection from tile to tile, Return and
    // Space choose the tile under the cursor. A click focuses its tile without a ring.
    property bool focusByMouse: false
    readonly property int cursor: grid.library && grid.library.shownIndex >= 0
                                  ? grid.library.shownIndex : 0

    // A tile was clicked, or chosen with the keyboard.
    signal appChosen(string appID)

    function clickedAt(index: int) {
        grid.focusByMouse = true
        grid.appChosen(grid.library.appIDAt(index))
        grid.forceActiveFocus(Qt.MouseFocusReason)
    }

    clip: true
    boundsBehavior: Flickable.StopAtBounds
    cellWidth: Math.floor(width / columns)
    cellHeight: 190 + gap
    model: grid.library ? grid.library.apps : null
    currentIndex: grid.cursor
    keyNavigationEnabled: false

    onActiveFocusChanged: {
        if (!grid.activeFocus)
            grid.focusByMouse = false
        else if (grid.count > 0)
            grid.positionViewAtIndex(grid.cursor, GridView.Contain)
    }
    Keys.onPressed: (event) => {
        if (!grid.library || grid.count === 0 || event.modifiers & ~Qt.KeypadModifier)
            return
        const reached = grid.library.moveSelection(event.key, grid.columns)
        if (reached >= 0) {
            grid.positionViewAtIndex(reached, GridView.Contain)
        } else if (event.key === Qt.Key_Return || event.key === Qt.Key_Enter
                   || event.key === Qt.Key_Space) {
            grid.appChosen(grid.library.appIDAt(grid.cursor))
        } else {
            return
        }
        grid.focusByMouse = false
        event.accepted = true
    }
}
