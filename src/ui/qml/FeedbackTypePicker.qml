pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls.Basic
import Nimbara

// The feedback form's segmented choice of report type: one segment per type, the chosen one
// highlighted. Tab reaches every segment; Space or Return chooses it.
Rectangle {
    id: picker

    required property FeedbackViewModel model
    // The first segment, where the form's tab order starts.
    readonly property Item firstSegment: segments.count > 0 ? segments.itemAt(0) : null
    // Where Shift+Tab from the first segment goes.
    property Item backtabTarget

    implicitHeight: 34
    radius: 8
    color: Theme.bg2
    border.width: 1
    border.color: Theme.line

    Row {
        anchors.fill: parent
        anchors.margins: 3
        spacing: 3

        Repeater {
            id: segments
            model: picker.model.typeChoices

            delegate: AbstractButton {
                id: segment

                required property feedbackTypeChoice modelData
                required property int index
                readonly property bool chosen: picker.model.type === modelData.type

                objectName: "feedbackType" + index
                width: (picker.width - 6 - 3 * (segments.count - 1)) / segments.count
                height: parent.height
                checkable: true
                checked: chosen
                text: modelData.title
                Accessible.role: Accessible.RadioButton
                Accessible.name: text
                Accessible.checked: chosen
                onClicked: picker.model.type = modelData.type
                Keys.onReturnPressed: picker.model.type = modelData.type
                Keys.onEnterPressed: picker.model.type = modelData.type
                KeyNavigation.backtab: index === 0 ? picker.backtabTarget : null

                background: Rectangle {
                    radius: 6
                    color: segment.chosen ? Theme.bg3 : "transparent"
                    border.width: segment.visualFocus ? 1 : 0
                    border.color: Theme.lime
                }
                contentItem: Text {
                    text: segment.text
                    color: segment.chosen ? Theme.fg0 : Theme.fg2
                    font.pixelSize: 13
                    font.weight: Font.Medium
                    horizontalAlignment: Text.AlignHCenter
                    verticalAlignment: Text.AlignVCenter
                    elide: Text.ElideRight
                }
            }
        }
    }
}
