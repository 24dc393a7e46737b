pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Nimbara

// The keyboard-driven app switcher over the whole window: a dimmed backdrop (a click closes)
// and a panel with the search field, the matching apps and a footer. Up and Down move the
// selection, Return opens or installs the selected app, Escape closes. A new switcher starts
// with an empty query and the first row selected.
Item {
    id: switcher

    // How far the switcher has come in (0 to 1): the panel grows from 0.96 as it does.
    property real presence: 1

    signal dismissRequested()

    readonly property alias viewModel: switcherModel
    readonly property int rowHeight: 48
    readonly property int outerMargin: 28
    // Everything of the panel but the list, so that the list knows how much room it has.
    readonly property real chromeHeight: searchRow.height + caption.height + footer.height + 2
                                         + 2 * listArea.verticalPadding

    objectName: "quickSwitcher"

    // Runs the result at `index` and closes, when there is such a result.
    function runRow(index: int) {
        if (switcherModel.run(index))
            switcher.dismissRequested()
    }

    QuickSwitcherViewModel {
        id: switcherModel
        store: Launcher.store
    }

    Rectangle {
        objectName: "quickSwitcherBackdrop"
        anchors.fill: parent
        color: "#000000"
        opacity: 0.45

        MouseArea {
            anchors.fill: parent
            acceptedButtons: Qt.AllButtons
            onClicked: switcher.dismissRequested()
            onWheel: (wheel) => { wheel.accepted = true }
        }
    }

    Rectangle {
        id: panel

        objectName: "quickSwitcherPanel"
        width: Math.min(620, switcher.width - 2 * switcher.outerMargin)
        height: layout.implicitHeight
        x: Math.round((switcher.width - width) / 2)
        y: Math.max(switcher.outerMargin, Math.round((switcher.height - height) * 0.3))
        radius: 14
        color: Theme.bg1
        border.width: 1
        border.color: Theme.line
        clip: true
        scale: 0.96 + 0.04 * switcher.presence

        // Clicks on the panel stay on it; only the backdrop closes the switcher.
        MouseArea {
            anchors.fill: parent
            acceptedButtons: Qt.AllButtons
        }

        ColumnLayout {
            id: layout
            width: parent.width
            spacing: 0

            RowLayout {
                id: searchRow
                Layout.fillWidth: true
                Layout.preferredHeight: 56
                Layout.leftMargin: 18
                Layout.rightMargin: 18
                spacing: 10

                Symbol {
                    name: "magnifyingglass"
                    size: 18
                    color: Theme.fg3
                }
                TextField {
                    id: field
                    objectName: "quickSwitcherField"
                    Layout.fillWidth: true
                    focus: true
                    leftPadding: 0
                    rightPadding: 0
                    background: null
                    placeholderText: Copy.texts.quickSearchPlaceholder
                    placeholderTextColor: Theme.fgCaption
                    color: Theme.fg0
                    selectionColor: Theme.violet
                    font.pixelSize: 15
                    Accessible.name: Copy.texts.quickSearchPlaceholder
                    onTextChanged: switcherModel.query = text

                    Keys.onUpPressed: switcherModel.moveUp()
                    Keys.onDownPressed: switcherModel.moveDown()
                    Keys.onReturnPressed: switcher.runRow(switcherModel.selectedIndex)
                    Keys.onEnterPressed: switcher.runRow(switcherModel.selectedIndex)
                    Keys.onEscapePressed: switcher.dismissRequested()
                    // The switcher is open already: the shortcut that opened it must not
                    // become the field's delete-to-end-of-line.
                    Keys.onPressed: (event) => {
                        if (event.key === Qt.Key_K && (event.modifiers & Qt.ControlModifier))
                            event.accepted = true
                    }
                }
            }

            Rectangle {
                Layout.fillWidth: true
                Layout.preferredHeight: 1
                color: Theme.line
            }

            Text {
                id: caption
                objectName: "quickSwitcherCaption"
                Layout.fillWidth: true
                Layout.preferredHeight: 34
                leftPadding: 18
                rightPadding: 18
                verticalAlignment: Text.AlignBottom
                bottomPadding: 4
                text: switcherModel.resultsCaption
                color: Theme.fgCaption
                font.pixelSize: 11
                font.weight: Font.Medium
                elide: Text.ElideRight
            }

            Item {
                id: listArea

                readonly property int verticalPadding: 6
                readonly property real roomForRows: Math.max(
                    switcher.rowHeight * 2,
                    switcher.height - 2 * switcher.outerMargin - switcher.chromeHeight)

                Layout.fillWidth: true
                Layout.preferredHeight: 2 * verticalPadding
                                        + (switcherModel.resultCount > 0
                                           ? Math.min(results.contentHeight, roomForRows)
                                           : noResults.height)

                ListView {
                    id: results
                    objectName: "quickSwitcherResults"
                    anchors.fill: parent
                    anchors.margins: 8
                    anchors.topMargin: listArea.verticalPadding
                    anchors.bottomMargin: listArea.verticalPadding
                    visible: switcherModel.resultCount > 0
                    clip: true
                    interactive: contentHeight > height
                    boundsBehavior: Flickable.StopAtBounds
                    model: switcherModel.results
                    ScrollBar.vertical: ScrollBar {
                        policy: results.interactive ? ScrollBar.AsNeeded : ScrollBar.AlwaysOff
                    }

                    delegate: Rectangle {
                        id: row

                        required property int index
                        required property var modelData
                        readonly property bool selected: row.index === switcherModel.selectedIndex

                        objectName: "quickSwitcherRow_" + row.modelData.app.id
                        width: ListView.view.width
                        height: switcher.rowHeight
                        radius: 8
                        color: row.selected ? Theme.bg3
                                            : area.containsMouse ? Theme.faded(Theme.bg3, 0.5)
                                                                 : "transparent"
                        Accessible.role: Accessible.Button
                        Accessible.name: row.modelData.accessibleName
                        Accessible.selected: row.selected
                        Accessible.onPressAction: switcher.runRow(row.index)

                        MouseArea {
                            id: area
                            anchors.fill: parent
                            hoverEnabled: true
                            onClicked: switcher.runRow(row.index)
                        }

                        RowLayout {
                            anchors.fill: parent
                            anchors.leftMargin: 10
                            anchors.rightMargin: 12
                            spacing: 12

                            NimbaraAppIcon {
                                app: row.modelData.app
                                size: 30
                            }
                            ColumnLayout {
                                Layout.fillWidth: true
                                spacing: 2
                                Text {
                                    Layout.fillWidth: true
                                    text: row.modelData.app.name
                                    color: Theme.fg0
                                    font.pixelSize: 14 // 13.5 rounded: pixel sizes are whole
                                    font.weight: Font.Medium
                                    elide: Text.ElideRight
                                }
                                Text {
                                    Layout.fillWidth: true
                                    text: row.modelData.hint
                                    color: row.selected ? Theme.fg1 : Theme.fgCaption
                                    font.pixelSize: 11
                                    elide: Text.ElideRight
                                }
                            }
                            // The key cap of Return.
                            Rectangle {
                                implicitWidth: 24
                                implicitHeight: 20
                                radius: 5
                                color: Theme.bg3
                                border.width: 1
                                border.color: Theme.line2
                                opacity: row.selected ? 1 : 0.55

                                Symbol {
                                    anchors.centerIn: parent
                                    name: "return"
                                    size: 13
                                    color: Theme.fg1
                                }
                            }
                        }
                    }
                }

                // Keeps the selected row in view as the arrows move it.
                Connections {
                    target: switcherModel
                    function onSelectedIndexChanged() {
                        if (switcherModel.resultCount > 0)
                            results.positionViewAtIndex(switcherModel.selectedIndex,
                                                        ListView.Contain)
                    }
                }

                Rectangle {
                    id: noResults
                    objectName: "quickSwitcherNoResults"
                    visible: switcherModel.resultCount === 0
                    x: 8
                    y: listArea.verticalPadding
                    width: parent.width - 16
                    height: Math.max(96, noResultsText.implicitHeight + 32)
                    radius: 8
                    color: Theme.bg2

                    Text {
                        id: noResultsText
                        anchors.centerIn: parent
                        width: parent.width - 32
                        horizontalAlignment: Text.AlignHCenter
                        wrapMode: Text.WordWrap
                        text: Copy.texts.quickNoResults
                        color: Theme.fg2
                        font.pixelSize: 13
                    }
                }
            }

            Rectangle {
                Layout.fillWidth: true
                Layout.preferredHeight: 1
                color: Theme.line
            }

            RowLayout {
                id: footer
                Layout.fillWidth: true
                Layout.preferredHeight: 36
                Layout.leftMargin: 18
                Layout.rightMargin: 18

                Text {
                    text: Copy.texts.quickFooterLeft
                    color: Theme.fgCaption
                    font.pixelSize: 11
                }
                Item { Layout.fillWidth: true }
                Text {
                    text: Copy.texts.quickFooterRight
                    color: Theme.fgCaption
                    font.pixelSize: 11
                }
            }
        }
    }

    Component.onCompleted: field.forceActiveFocus()
}
