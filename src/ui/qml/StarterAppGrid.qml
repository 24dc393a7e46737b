pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Nimbara

// The published apps to tick, in as many columns of at least 240 as fit, 12 apart. It scrolls
// when the apps do not fit. The grid is one stop in the Tab order: the arrow keys move the
// current cell and Space or Return ticks it.
Item {
    id: frame

    property OnboardingViewModel onboarding
    readonly property int gap: 12
    readonly property int minimumCellWidth: 240
    readonly property int columns: Math.max(1, Math.floor((width + gap) / (minimumCellWidth + gap)))
    readonly property alias view: grid

    GridView {
        id: grid

        // One gap reaches past the trailing edge, so every cell carries its gap on its trailing
        // and bottom side and the last column still ends flush with the frame.
        width: frame.width + frame.gap
        height: frame.height
        clip: true
        boundsBehavior: Flickable.StopAtBounds
        cellWidth: Math.floor((frame.width + frame.gap) / frame.columns)
        cellHeight: 64 + frame.gap
        activeFocusOnTab: true
        keyNavigationEnabled: true
        Accessible.role: Accessible.List
        Accessible.name: Copy.texts.onboardingTitle
        highlightFollowsCurrentItem: false
        // Without a moving highlight the view does not follow the current cell by itself.
        onCurrentIndexChanged: grid.positionViewAtIndex(grid.currentIndex, GridView.Contain)
        model: frame.onboarding ? frame.onboarding.apps : null

        ScrollBar.vertical: ScrollBar {
            objectName: "onboardingGridScrollBar"
            rightPadding: frame.gap
        }

        delegate: Item {
            id: slot

            required property int index
            required property string appId
            required property string name
            required property string tagline
            required property string accent
            required property string symbolName
            required property string iconUrl
            required property bool starterSelected

            objectName: "starterCell_" + slot.appId
            width: grid.cellWidth
            height: grid.cellHeight
            focus: GridView.isCurrentItem

            function toggle() {
                grid.currentIndex = slot.index
                frame.onboarding.toggle(slot.appId)
            }

            Keys.onSpacePressed: slot.toggle()
            Keys.onReturnPressed: slot.toggle()
            Keys.onEnterPressed: slot.toggle()
            Accessible.role: Accessible.CheckBox
            Accessible.name: slot.name
            Accessible.checkable: true
            Accessible.checked: slot.starterSelected
            Accessible.focusable: true
            Accessible.focused: slot.activeFocus
            Accessible.onPressAction: slot.toggle()
            Accessible.onToggleAction: slot.toggle()

            Rectangle {
                width: parent.width - frame.gap
                height: parent.height - frame.gap
                radius: 10
                color: area.containsMouse ? Theme.faded(Theme.bg3, area.pressed ? 0.75 : 1)
                                          : Theme.bg1
                border.width: 1
                border.color: slot.starterSelected ? Theme.lime : Theme.line

                // Where the keyboard is.
                Rectangle {
                    anchors.fill: parent
                    anchors.margins: -3
                    radius: 13
                    color: "transparent"
                    border.width: 2
                    border.color: Theme.fg2
                    visible: slot.activeFocus
                }

                MouseArea {
                    id: area
                    anchors.fill: parent
                    hoverEnabled: true
                    onClicked: slot.toggle()
                }

                RowLayout {
                    anchors.fill: parent
                    anchors.margins: 13
                    spacing: 12

                    NimbaraAppIcon {
                        app: ({ accent: slot.accent, symbolName: slot.symbolName,
                                iconUrl: slot.iconUrl })
                        size: 38
                    }
                    ColumnLayout {
                        Layout.fillWidth: true
                        spacing: 3

                        Text {
                            Layout.fillWidth: true
                            text: slot.name
                            color: Theme.fg0
                            font.pixelSize: 14
                            font.weight: Font.DemiBold
                            elide: Text.ElideRight
                        }
                        Text {
                            Layout.fillWidth: true
                            text: slot.tagline
                            color: Theme.fgCaption
                            font.pixelSize: 11
                            elide: Text.ElideRight
                        }
                    }
                    SelectionMark {
                        objectName: "starterMark_" + slot.appId
                        isSelected: slot.starterSelected
                    }
                }
            }
        }
    }
}
