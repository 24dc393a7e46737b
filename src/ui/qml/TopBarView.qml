import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Nimbara

// The bar above the library: breadcrumb, search field, updating every app (while two or more
// have an update), the quick-switch button and the window's menu. It owns the quick switcher's
// keyboard shortcut for the whole window.
Rectangle {
    id: topBar

    property string searchText

    // What the buttons and margins take, whatever the search field and breadcrumb get.
    readonly property real fixedWidth: 48 + 3 * 14 + quickSwitchButton.implicitWidth
                                       + menuButton.implicitWidth
                                       + (updateAllButton.visible
                                          ? updateAllButton.implicitWidth + 14 : 0)

    signal searchEdited(string text)
    signal quickSwitcherRequested()

    implicitHeight: 56
    color: Theme.faded(Theme.bg0, 0.72)

    Rectangle {
        anchors.bottom: parent.bottom
        width: parent.width
        height: 1
        color: Theme.line
    }

    RowLayout {
        anchors.fill: parent
        anchors.leftMargin: 24
        anchors.rightMargin: 24
        spacing: 14

        // The breadcrumb only repeats where the user is; it gives up its room in a narrow bar
        // so that the search field keeps 200 for its placeholder in every language.
        Row {
            id: breadcrumb
            objectName: "breadcrumb"
            visible: topBar.width - topBar.fixedWidth >= implicitWidth + 14 + 200
            spacing: 6
            Text {
                text: Copy.texts.topLibrary
                color: Theme.fg2
                font.pixelSize: 13
                anchors.verticalCenter: parent.verticalCenter
            }
            Symbol {
                name: "chevron.right"
                size: 10
                color: Theme.fg3
                anchors.verticalCenter: parent.verticalCenter
            }
            Text {
                text: Copy.texts.topCatalog
                color: Theme.fg0
                font.pixelSize: 13
                anchors.verticalCenter: parent.verticalCenter
            }
        }

        Item { Layout.fillWidth: true }

        // 260 wide where there is room; it gives way before the quick-switch button does.
        Rectangle {
            Layout.fillWidth: true
            Layout.minimumWidth: 140
            Layout.maximumWidth: 260
            Layout.preferredWidth: 260
            Layout.preferredHeight: 32
            radius: 7
            color: Theme.bg2
            border.width: 1
            border.color: Theme.line

            // Where typing goes: ringed while the field has the keyboard, however it got it.
            FocusRing {
                shown: searchField.activeFocus
                radius: 7
            }
            Symbol {
                id: searchSymbol
                anchors.left: parent.left
                anchors.leftMargin: 10
                anchors.verticalCenter: parent.verticalCenter
                name: "magnifyingglass"
                size: 15
                color: Theme.fg3
            }
            TextField {
                id: searchField
                objectName: "searchField"
                anchors.left: searchSymbol.right
                anchors.leftMargin: 6
                anchors.right: clearSearch.visible ? clearSearch.left : parent.right
                anchors.rightMargin: clearSearch.visible ? 2 : 10
                anchors.verticalCenter: parent.verticalCenter
                leftPadding: 0
                rightPadding: 0
                background: null
                text: topBar.searchText
                placeholderText: Copy.texts.topSearchApps
                placeholderTextColor: Theme.fgCaption
                Accessible.name: Copy.texts.topSearchApps
                color: Theme.fg0
                selectionColor: Theme.violet
                font.pixelSize: 13
                onTextEdited: topBar.searchEdited(text)
                // Where Ctrl+K is the platform's delete-to-end-of-line, a focused text field takes
                // the key before any shortcut sees it: hand it on to the quick switcher.
                // Escape empties a search that holds text.
                Keys.onPressed: (event) => {
                    if (event.key === Qt.Key_K && (event.modifiers & Qt.ControlModifier)) {
                        event.accepted = true
                        topBar.quickSwitcherRequested()
                    } else if (event.key === Qt.Key_Escape && searchField.text !== "") {
                        event.accepted = true
                        topBar.searchEdited("")
                    }
                }
            }
            // Empties the search; shown while it holds text. The field keeps the focus.
            NimbaraButton {
                id: clearSearch
                objectName: "clearSearchButton"
                anchors.right: parent.right
                anchors.rightMargin: 4
                anchors.verticalCenter: parent.verticalCenter
                visible: topBar.searchText !== ""
                variant: ButtonVariant.Ghost
                implicitWidth: 24
                implicitHeight: 24
                leftPadding: 0
                rightPadding: 0
                focusPolicy: Qt.NoFocus
                symbol: "xmark"
                labelColor: Theme.fg2
                Accessible.name: Copy.texts.topClearSearch
                onClicked: topBar.searchEdited("")
            }
        }

        UpdateAllButton {
            id: updateAllButton
            objectName: "topUpdateAllButton"
        }

        NimbaraButton {
            id: quickSwitchButton
            objectName: "topQuickSwitchButton"
            variant: ButtonVariant.Secondary
            symbol: "command"
            text: Copy.texts.topQuickSwitch
            keyCap: Design.quickSwitchShortcutText
            onClicked: topBar.quickSwitcherRequested()
        }

        // The window's menu: the launcher's own update check, the settings and quitting.
        NimbaraButton {
            id: menuButton
            objectName: "topMenuButton"
            variant: ButtonVariant.Ghost
            symbol: "ellipsis"
            leftPadding: 9
            rightPadding: 9
            Accessible.name: Copy.texts.menuMore
            onClicked: windowMenu.open()

            Menu {
                id: windowMenu
                objectName: "windowMenu"
                y: menuButton.height + 6
                x: menuButton.width - width

                CheckForUpdatesButton {}
                MenuItem {
                    text: Copy.texts.sidebarPreferences
                    onTriggered: Launcher.actions.showSettingsWindow()
                }
                MenuSeparator {}
                MenuItem {
                    text: Copy.texts.menuQuit
                    onTriggered: Launcher.actions.quit()
                }
            }
        }
    }

    Shortcut {
        sequence: Design.quickSwitchSequence
        context: Qt.WindowShortcut
        onActivated: topBar.quickSwitcherRequested()
    }
}
