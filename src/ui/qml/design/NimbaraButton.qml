import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Templates as T
import Nimbara

// The launcher's button: Primary (lime fill, ink label), Secondary (bg3 fill, line2 border)
// or Ghost (no fill, no border). The fill is drawn at 0.75 while pressed and a shade lighter
// under the mouse; a disabled button is faded. Return and Space press it, and a focus ring shows
// while it has the keyboard focus.
Button {
    id: control

    property int variant: ButtonVariant.Primary
    property string symbol: ""
    property bool symbolTrailing: false
    // Shown on hover, e.g. the keyboard shortcut that does the same.
    property string hint: ""
    // A keyboard shortcut shown after the label, in the platform's own text ("Ctrl+K").
    property string keyCap: ""
    property color labelColor: variant === ButtonVariant.Primary ? Theme.ink : Theme.fg0

    readonly property color fillColor: variant === ButtonVariant.Primary ? Theme.lime
                                       : variant === ButtonVariant.Secondary ? Theme.bg3 : "transparent"
    // Under the mouse: lime lightened, bg3 up to line, and a faint veil on a ghost button.
    readonly property color hoverColor: variant === ButtonVariant.Primary
                                        ? Qt.tint(Theme.lime, Theme.faded(Theme.fg0, 0.18))
                                        : variant === ButtonVariant.Secondary
                                          ? Theme.line : Theme.faded(Theme.fg0, 0.06)

    implicitHeight: 34
    implicitWidth: Math.max(34, control.contentItem.implicitWidth + leftPadding + rightPadding)
    leftPadding: 14
    rightPadding: 14
    topPadding: 0
    bottomPadding: 0
    font.pixelSize: 13
    font.weight: Font.Medium
    hoverEnabled: true
    focusPolicy: Qt.StrongFocus
    opacity: enabled ? 1 : 0.45
    Accessible.name: text
    Accessible.onPressAction: {
        if (control.enabled)
            control.clicked()
    }
    // A key pressed while the button has the focus shows the ring as well, also where the focus
    // came without one (a popup giving it to its first button on opening).
    property bool keyPressedInFocus: false
    onActiveFocusChanged: {
        if (!control.activeFocus)
            control.keyPressedInFocus = false
    }
    Keys.onPressed: (event) => {
        control.keyPressedInFocus = true
        event.accepted = false
    }
    Keys.onReturnPressed: control.clicked()
    Keys.onEnterPressed: control.clicked()
    T.ToolTip.visible: hint !== "" && hovered
    T.ToolTip.text: hint
    T.ToolTip.delay: 600

    // The symbol and label, centred and sizing the item. The row is reached as the item's child:
    // an id in here would stop the style from deferring the item.
    contentItem: Item {
        readonly property Item row: children[0]

        implicitWidth: row.implicitWidth
        implicitHeight: row.implicitHeight

        Row {
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
            Text {
                visible: control.keyCap !== ""
                text: control.keyCap
                font.family: Design.monoFamily
                font.pixelSize: 11
                color: Theme.fgCaption
                anchors.verticalCenter: parent.verticalCenter
            }
        }
    }

    background: Rectangle {
        implicitHeight: 34
        radius: 8
        color: !control.down ? (control.hovered ? control.hoverColor : control.fillColor)
               : control.variant === ButtonVariant.Ghost ? Theme.faded(Theme.fg0, 0.1)
               : Theme.faded(control.fillColor, 0.75)
        border.width: control.variant === ButtonVariant.Ghost ? 0 : 1
        border.color: control.variant === ButtonVariant.Primary ? Theme.lime : Theme.line2

        FocusRing {
            shown: control.visualFocus || (control.activeFocus && control.keyPressedInFocus)
            radius: 8
        }
    }
}
