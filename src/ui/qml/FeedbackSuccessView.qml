import QtQuick
import Nimbara

// What the feedback sheet shows once the report was sent: a check mark, the thanks, the issue
// reference when the server gave one, and a Close button.
Column {
    id: success

    required property FeedbackViewModel model
    readonly property Item closeControl: closeButton

    spacing: 12

    Symbol {
        anchors.horizontalCenter: parent.horizontalCenter
        name: "checkmark.circle.fill"
        size: 44
        color: Theme.lime
    }
    Text {
        width: parent.width
        text: Copy.texts.feedbackSuccessTitle
        color: Theme.fg0
        font.family: Design.displayFamily
        font.pixelSize: 22
        font.weight: Font.DemiBold
        horizontalAlignment: Text.AlignHCenter
        wrapMode: Text.WordWrap
    }
    Text {
        width: parent.width
        text: Copy.texts.feedbackSuccessBody
        color: Theme.fg2
        font.pixelSize: 13
        horizontalAlignment: Text.AlignHCenter
        wrapMode: Text.WordWrap
    }
    Text {
        objectName: "feedbackIssueLine"
        width: parent.width
        visible: text !== ""
        text: success.model.issueLine
        color: Theme.fg1
        font.family: Design.monoFamily
        font.pixelSize: 12
        horizontalAlignment: Text.AlignHCenter
    }
    Item {
        width: parent.width
        height: 8
    }
    NimbaraButton {
        id: closeButton
        objectName: "feedbackCloseButton"
        anchors.horizontalCenter: parent.horizontalCenter
        variant: ButtonVariant.Primary
        text: Copy.texts.feedbackClose
        onClicked: success.model.close()
        Keys.onReturnPressed: success.model.close()
        Keys.onEnterPressed: success.model.close()
        // The only control left: Tab stays on it instead of leaving the sheet.
        KeyNavigation.tab: closeButton
        KeyNavigation.backtab: closeButton
    }
}
