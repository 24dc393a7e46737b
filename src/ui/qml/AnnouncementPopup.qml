import QtQuick
import Nimbara

// The announcement of a newly published app: its icon (or the logo when the app is not
// visible), title, body and version, with dismiss and open buttons. Shown in a ModalOverlay,
// whose frame draws the background. While it shows, the keyboard stays on its buttons: it is
// given to the dismiss button, and Tab goes round the two.
Item {
    id: popup

    required property ShellViewModel shell

    readonly property announcementText announcement: shell.announcement

    implicitWidth: 430
    implicitHeight: layout.implicitHeight + 48

    onVisibleChanged: {
        if (popup.visible)
            dismissButton.forceActiveFocus()
    }

    Column {
        id: layout
        x: 24
        y: 24
        width: parent.width - 48
        spacing: 22

        Row {
            width: parent.width
            spacing: 14

            Item {
                width: 54
                height: 54
                NimbaraAppIcon {
                    visible: popup.shell !== null && popup.shell.hasAnnouncedApp
                    app: popup.shell.announcedApp
                    size: 54
                }
                NimbaraLogo {
                    visible: !popup.shell || !popup.shell.hasAnnouncedApp
                    size: 54
                }
            }

            Column {
                width: parent.width - 54 - parent.spacing
                spacing: 7

                AppBadge {
                    text: Copy.texts.announcementTitle
                    color: Theme.lime
                }
                Text {
                    width: parent.width
                    text: popup.announcement.title || ""
                    color: Theme.fg0
                    font.family: Design.displayFamily
                    font.pixelSize: 24
                    font.weight: Font.DemiBold
                    wrapMode: Text.WordWrap
                }
                Text {
                    width: parent.width
                    text: popup.announcement.body || ""
                    color: Theme.fg2
                    font.pixelSize: 13
                    lineHeightMode: Text.FixedHeight
                    lineHeight: 20
                    wrapMode: Text.WordWrap
                }
                Text {
                    visible: text !== ""
                    text: popup.announcement.version || ""
                    color: Theme.fgCaption
                    font.family: Design.monoFamily
                    font.pixelSize: 11
                }
            }
        }

        Row {
            anchors.right: parent.right
            spacing: 10

            NimbaraButton {
                id: dismissButton
                objectName: "announcementDismissButton"
                variant: ButtonVariant.Secondary
                KeyNavigation.tab: openButton
                KeyNavigation.backtab: openButton
                text: Copy.texts.announcementDismiss
                onClicked: popup.shell.acknowledgeAnnouncement()
            }
            NimbaraButton {
                id: openButton
                objectName: "announcementOpenButton"
                KeyNavigation.tab: dismissButton
                KeyNavigation.backtab: dismissButton
                variant: ButtonVariant.Primary
                symbol: "arrow.right"
                symbolTrailing: true
                text: Copy.texts.announcementOpenApp
                enabled: popup.shell !== null && popup.shell.hasAnnouncedApp
                onClicked: popup.shell.openAnnouncedApp()
            }
        }
    }
}
