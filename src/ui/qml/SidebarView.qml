import QtQuick
import QtQuick.Layouts
import QtQuick.Templates as T
import Nimbara

// The sidebar: logo, the sections, the catalog's categories, and the feedback and quick
// switcher buttons.
Rectangle {
    id: sidebar

    property ShellViewModel shell
    property int selectedSection: SidebarSection.Home

    signal sectionChosen(int section)
    signal quickSwitcherRequested()

    color: Theme.bg1

    Rectangle {
        anchors.right: parent.right
        width: 1
        height: parent.height
        color: Theme.line
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.topMargin: 18
        anchors.bottomMargin: 16
        anchors.leftMargin: 12
        anchors.rightMargin: 13
        spacing: 4

        Row {
            Layout.leftMargin: 8
            Layout.bottomMargin: 16
            spacing: 9

            NimbaraLogo {
                size: 22
                anchors.verticalCenter: parent.verticalCenter
            }
            Text {
                text: Copy.texts.brand
                color: Theme.fg0
                font.family: Design.displayFamily
                font.pixelSize: 17
                font.weight: Font.Bold
                anchors.verticalCenter: parent.verticalCenter
            }
        }

        SidebarSectionList {
            Layout.fillWidth: true
            shell: sidebar.shell
            selectedSection: sidebar.selectedSection
            onSectionChosen: (section) => sidebar.sectionChosen(section)

            // A row is a button: Tab reaches it, Return and Space press it, and assistive
            // technology reads whether it is the current section.
            delegate: T.AbstractButton {
                id: row

                required property var modelData
                readonly property SidebarSectionList list: ListView.view as SidebarSectionList
                readonly property bool current: row.modelData.section === row.list.selectedSection

                objectName: "sidebarRow" + row.modelData.section
                width: row.list.width
                implicitHeight: 32
                leftPadding: 10
                rightPadding: 10
                hoverEnabled: true
                focusPolicy: Qt.StrongFocus
                Accessible.role: Accessible.Button
                Accessible.name: row.modelData.title
                Accessible.checkable: !row.modelData.opensSettings
                Accessible.checked: row.current
                Accessible.onPressAction: row.clicked()
                Keys.onReturnPressed: row.clicked()
                Keys.onEnterPressed: row.clicked()
                onClicked: {
                    if (row.modelData.opensSettings)
                        Launcher.actions.showSettingsWindow()
                    else
                        row.list.sectionChosen(row.modelData.section)
                }

                // Lighter under the mouse, darker while pressed, from either resting surface.
                background: Rectangle {
                    radius: 7
                    color: row.down ? (row.current ? Theme.bg2 : Theme.bg0)
                                    : row.hovered ? (row.current ? Theme.line : Theme.bg2)
                                                  : (row.current ? Theme.bg3 : "transparent")

                    FocusRing {
                        shown: row.visualFocus
                        radius: 7
                    }
                }

                contentItem: RowLayout {
                    spacing: 10

                    Symbol {
                        Layout.preferredWidth: 16
                        name: row.modelData.symbol
                        size: 15
                        color: row.current ? Theme.fg0 : Theme.fg1
                    }
                    Text {
                        Layout.fillWidth: true
                        text: row.modelData.title
                        color: row.current ? Theme.fg0 : Theme.fg1
                        font.pixelSize: 13
                        font.weight: Font.Medium
                        // A long title steps down in size to fit the compact sidebar.
                        fontSizeMode: Text.HorizontalFit
                        minimumPixelSize: 11
                        elide: Text.ElideRight
                    }
                    Text {
                        visible: row.modelData.showsCount
                        text: row.list.shell ? row.list.shell.visibleAppCount : ""
                        color: Theme.fgCaption
                        font.family: Design.monoFamily
                        font.pixelSize: 10
                    }
                }
            }
        }

        Text {
            Layout.topMargin: 22
            Layout.leftMargin: 10
            Layout.bottomMargin: 6
            text: Copy.texts.sidebarCategories
            color: Theme.fgCaption
            font.pixelSize: 10
            font.weight: Font.Medium
            font.letterSpacing: 0.8
            font.capitalization: Font.AllUppercase
        }

        ListView {
            objectName: "categoryList"
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            interactive: contentHeight > height
            model: sidebar.shell ? sidebar.shell.categories : []

            delegate: Item {
                id: category

                required property string modelData

                width: ListView.view.width
                height: 26

                Row {
                    anchors.left: parent.left
                    anchors.leftMargin: 14
                    anchors.verticalCenter: parent.verticalCenter
                    spacing: 10

                    Rectangle {
                        width: 5
                        height: 5
                        radius: 2.5
                        color: Theme.fg3
                        anchors.verticalCenter: parent.verticalCenter
                    }
                    Text {
                        text: category.modelData
                        color: Theme.fg2
                        font.pixelSize: 13
                    }
                }
            }
        }

        NimbaraButton {
            objectName: "sidebarFeedbackButton"
            Layout.fillWidth: true
            variant: ButtonVariant.Secondary
            symbol: "bubble.left.and.bubble.right"
            text: Copy.texts.sendFeedback
            onClicked: sidebar.shell.openFeedbackSheet()
        }
        NimbaraButton {
            objectName: "sidebarQuickSwitcherButton"
            Layout.fillWidth: true
            Layout.topMargin: 4
            variant: ButtonVariant.Secondary
            symbol: "command"
            text: Copy.texts.sidebarQuickSwitcher
            hint: Design.quickSwitchShortcutText
            onClicked: sidebar.quickSwitcherRequested()
        }
    }
}
