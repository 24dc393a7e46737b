import QtQuick
import Nimbara
import QtQuick.Controls.Basic
import QtQuick.Templates as T

// A modal alert over the window: a title, a message and one or two buttons. Accepting,
// rejecting and Escape all close it.
Dialog {
    id: alert

    property string message
    property string acceptText
    property string rejectText // empty: no second button
    property bool destructive: false

    parent: T.Overlay.overlay
    anchors.centerIn: parent
    width: Math.min(420, parent ? parent.width - 56 : 420)
    modal: true
    closePolicy: Popup.CloseOnEscape
    padding: 22
    topPadding: 8

    header: Text {
        text: alert.title
        color: Theme.fg0
        font.pixelSize: 15
        font.weight: Font.DemiBold
        wrapMode: Text.WordWrap
        padding: 22
        bottomPadding: 0
    }

    contentItem: Text {
        text: alert.message
        color: Theme.fg1
        font.pixelSize: 13
        wrapMode: Text.WordWrap
    }

    footer: Item {
        implicitHeight: buttons.implicitHeight + 44
        Row {
            id: buttons
            anchors.right: parent.right
            anchors.rightMargin: 22
            anchors.verticalCenter: parent.verticalCenter
            spacing: 10

            NimbaraButton {
                visible: alert.rejectText !== ""
                variant: ButtonVariant.Secondary
                text: alert.rejectText
                onClicked: alert.reject()
            }
            NimbaraButton {
                objectName: "alertAcceptButton"
                variant: alert.destructive ? ButtonVariant.Secondary : ButtonVariant.Primary
                labelColor: alert.destructive ? Theme.destructive : Theme.ink
                text: alert.acceptText
                onClicked: alert.accept()
            }
        }
    }

    background: Rectangle {
        radius: 12
        color: Theme.bg1
        border.width: 1
        border.color: Theme.line2
    }

    T.Overlay.modal: Rectangle {
        color: Qt.rgba(0, 0, 0, 0.45)
    }
}
