import QtQuick
import QtQuick.Layouts
import QtQuick.Controls.Basic
import Nimbara

// The settings window's content: the tab strip over one scrolling page of the general
// settings, the readiness card, reset onboarding and the uninstall section, with the
// uninstall-everything confirmation. The page follows the keyboard focus.
Item {
    id: view

    readonly property alias preferences: prefs
    // A popup of this view is open and takes Escape for itself.
    readonly property bool popupOpen: confirmation.visible || general.pickerOpen

    PreferencesViewModel {
        id: prefs
        store: Launcher.store
    }

    PreferencesTabStrip {
        id: tabStrip
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
    }

    Flickable {
        id: flick
        objectName: "preferencesPage"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: tabStrip.bottom
        anchors.bottom: parent.bottom
        clip: true
        contentWidth: width
        contentHeight: page.implicitHeight + 44
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: ScrollBar {}

        ColumnLayout {
            id: page
            x: 22
            y: 22
            width: flick.width - 44
            spacing: 18

            Text {
                objectName: "preferencesHeading"
                text: Copy.texts.preferencesGeneral
                color: Theme.fg0
                font.family: Design.displayFamily
                font.pixelSize: 17
                font.weight: Font.DemiBold
            }
            GeneralPreferencesCard {
                id: general
                preferences: prefs
            }
            ReadinessCard {}
            RowLayout {
                NimbaraButton {
                    objectName: "resetOnboardingButton"
                    variant: ButtonVariant.Secondary
                    text: Copy.texts.preferencesResetOnboarding
                    onClicked: prefs.resetOnboarding()
                }
                Item {
                    Layout.fillWidth: true
                }
            }
            UninstallCard {
                preferences: prefs
            }
        }
    }

    // Scrolls the page so that the item with the keyboard focus is in sight.
    function reveal(item: Item) {
        for (let up = item; up; up = up.parent) {
            if (up === flick.contentItem) {
                const top = item.mapToItem(flick.contentItem, 0, 0).y - 8
                const bottom = top + item.height + 16
                const last = Math.max(0, flick.contentHeight - flick.height)
                if (top < flick.contentY)
                    flick.contentY = Math.max(0, top)
                else if (bottom > flick.contentY + flick.height)
                    flick.contentY = Math.min(last, bottom - flick.height)
                return
            }
        }
    }
    readonly property Item focusedItem: Window.activeFocusItem
    onFocusedItemChanged: if (focusedItem) reveal(focusedItem)

    AlertDialog {
        id: confirmation
        objectName: "uninstallConfirmation"
        title: Copy.texts.uninstallEverythingConfirmTitle
        message: prefs.confirmationMessage
        acceptText: Copy.texts.uninstallEverythingConfirmButton
        rejectText: Copy.texts.uninstallCancel
        destructive: true
        onAccepted: prefs.confirmUninstall()
        onClosed: prefs.showingUninstallConfirmation = false
    }
    readonly property bool showingConfirmation: prefs.showingUninstallConfirmation
    onShowingConfirmationChanged: {
        if (showingConfirmation)
            confirmation.open()
        else
            confirmation.close()
    }
    Component.onCompleted: if (showingConfirmation) confirmation.open()
}
