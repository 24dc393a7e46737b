import QtQuick
import Nimbara

// A system symbol, drawn as the glyph the symbol table gives its name.
Text {
    property string name
    property real size: 14

    text: Design.glyph(name)
    font.family: Design.symbolFamily
    font.pixelSize: size
    color: Theme.fg0
    horizontalAlignment: Text.AlignHCenter
    verticalAlignment: Text.AlignVCenter
    Accessible.ignored: true
}
