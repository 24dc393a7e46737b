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

    // A tile was clicked.
    signal appChosen(string appID)

    clip: true
    boundsBehavior: Flickable.StopAtBounds
    cellWidth: Math.floor(width / columns)
    cellHeight: 190 + gap
    model: grid.library ? grid.library.apps : null
}
