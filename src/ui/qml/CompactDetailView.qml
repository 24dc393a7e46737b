import QtQuick
import QtQuick.Layouts
import Nimbara

// The app detail as a panel over the library in the compact layout, entering and leaving from
// the trailing edge.
Item {
    id: panel

    property bool isPresented: false

    signal dismissRequested()

    visible: opacity > 0
    opacity: isPresented ? 1 : 0
    transform: Translate {
        x: panel.isPresented ? 0 : panel.width
        Behavior on x {
            NumberAnimation { duration: 160; easing.type: Easing.InOutQuad }
        }
    }
    Behavior on opacity {
        NumberAnimation { duration: 160; easing.type: Easing.InOutQuad }
    }

    Rectangle {
        anchors.fill: parent
        color: Theme.bg0
    }
    // Nothing under the panel reacts while it is shown.
    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.AllButtons
        onWheel: (wheel) => { wheel.accepted = true }
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        Rectangle {
            Layout.fillWidth: true
            Layout.preferredHeight: 48
            color: Theme.faded(Theme.bg0, 0.94)

            Rectangle {
                anchors.bottom: parent.bottom
                width: parent.width
                height: 1
                color: Theme.line
            }
            NimbaraButton {
                anchors.left: parent.left
                anchors.leftMargin: 18
                anchors.verticalCenter: parent.verticalCenter
                variant: ButtonVariant.Ghost
                symbol: "chevron.left"
                text: Copy.texts.topLibrary
                onClicked: panel.dismissRequested()
            }
        }

        AppDetailView {
            Layout.fillWidth: true
            Layout.fillHeight: true
        }
    }
}
