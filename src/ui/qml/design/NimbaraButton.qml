import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Templates as T
import Nimbara 1.0
import "." as Theme

// The launcher's button: "primary" (lime fill, ink label), "secondary" (bg3 fill, line2 border)
// or "ghost" (no fill, no border). The fill is drawn at 0.75 while pressed.
Button {
    id: control

    property string variant: "primary"
    property string symbol: ""
    property bool symbolTrailing: false
    // Shown on hover, e.g. the keyboard shortcut that does the same.
    property string hint: ""
    property color labelColor: variant === "primary" ? Theme.Palette.ink : Theme.Palette.fg0

    readonly property color fillColor: variant === "primary" ? Theme.Palette.lime
                                       : variant === "secondary" ? Theme.Palette.bg3 : "transparent"

    implicitHeight: 34
    implicitWidth: Math.max(34, contentRow.implicitWidth + leftPadding + rightPadding)
    leftPadding: 14
    rightPadding: 14
    topPadding: 0
    bottomPadding: 0
    font.pixelSize: 13
    font.weight: Font.Medium
    hoverEnabled: true
    Accessible.name: text
    T.ToolTip.visible: hint !== "" && hovered
    T.ToolTip.text: hint
    T.ToolTip.delay: 600

    contentItem: Item {
        implicitWidth: contentRow.implicitWidth
        implicitHeight: contentRow.implicitHeight

        Row {
            id: contentRow
            anchors.centerIn: parent
            spacing: 6
            layoutDirection: control.symbolTrailing ? Qt.RightToLeft : Qt.LeftToRight

            Symbol {
                visible: control.symbol !== ""
                name: control.symbol
                size: 15
                color: control.labelColor
                anchors.verticalCenter: parent.verticalCenter
            }
            Text {
                text: control.text
                font: control.font
                color: control.labelColor
                anchors.verticalCenter: parent.verticalCenter
            }
        }
    }

    background: Rectangle {
        implicitHeight: 34
        radius: 8
        color: control.variant === "ghost"
               ? "transparent" : Theme.Palette.faded(control.fillColor, control.down ? 0.75 : 1)
        border.width: control.variant === "ghost" ? 0 : 1
        border.color: control.variant === "primary" ? Theme.Palette.lime : Theme.Palette.line2
    }
}
