import QtQuick
import QtQuick.Controls.Basic
import Nimbara

// A button drawn as a link: its text only, underlined while hovered or focused. A long text
// wraps, after the separators of an address rather than inside a word.
Button {
    id: control

    padding: 0
    hoverEnabled: true
    font.pixelSize: 12
    Accessible.name: text

    contentItem: Text {
        text: LayoutRules.breakable(control.text)
        color: Theme.lime
        font.pixelSize: control.font.pixelSize
        font.underline: control.hovered || control.visualFocus
        wrapMode: Text.Wrap
    }
    background: null
}
