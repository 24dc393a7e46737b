pragma Singleton
import QtQuick

// The launcher's colours. Everything is dark; every screen draws from these tokens only.
QtObject {
    readonly property color bg0: "#0B0D10"   // window and page background
    readonly property color bg1: "#11141A"   // sidebar, cards, list rows
    readonly property color bg2: "#161A21"   // search field, tab strip
    readonly property color bg3: "#1C2129"   // selected row, secondary button, key caps
    readonly property color line: "#262C36"  // borders and dividers
    readonly property color line2: "#2E3540" // secondary button border, unticked marks
    readonly property color fg0: "#F3F4F6"   // primary text
    readonly property color fg1: "#C9CCD3"   // secondary text, unselected rows
    readonly property color fg2: "#8B909A"   // body text
    readonly property color fg3: "#5A606B"   // captions, symbols

    // Accents, one per catalog accent name.
    readonly property color lime: Qt.rgba(0.74, 0.94, 0.34, 1)
    readonly property color violet: Qt.rgba(0.62, 0.42, 0.96, 1)
    readonly property color amber: Qt.rgba(0.96, 0.68, 0.30, 1)
    readonly property color blue: Qt.rgba(0.33, 0.68, 0.95, 1)
    readonly property color cyan: Qt.rgba(0.28, 0.82, 0.88, 1)

    // The dark colour drawn on lime surfaces.
    readonly property color ink: Qt.rgba(11 / 255, 16 / 255, 4 / 255, 1)
    // Confirm buttons that destroy something.
    readonly property color destructive: "#F0655A"

    // The accent colour of a catalog accent name (lime for anything unknown).
    function accent(name) {
        switch (name) {
        case "violet": return violet
        case "amber": return amber
        case "blue": return blue
        case "cyan": return cyan
        default: return lime
        }
    }

    // The second colour of an app's accent gradient: violet, or lime for a violet app.
    function gradientEnd(name) {
        return name === "violet" ? lime : violet
    }

    // The colour of a symbol drawn on an app's gradient.
    function symbolOnAccent(name) {
        return name === "violet" ? "#FFFFFF" : ink
    }

    // `base` at `alpha` opacity.
    function faded(base, alpha) {
        return Qt.rgba(base.r, base.g, base.b, alpha)
    }
}
