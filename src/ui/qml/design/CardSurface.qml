import QtQuick
import Nimbara

// The surface of cards, tiles and panels: bg1 with a 1-point line border.
Rectangle {
    property real cornerRadius: 10

    radius: cornerRadius
    color: Theme.bg1
    border.width: 1
    border.color: Theme.line
}
