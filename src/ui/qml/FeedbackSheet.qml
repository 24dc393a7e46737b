import QtQuick
import QtQuick.Controls.Basic
import Nimbara

// The sheet in which the user writes a feedback report: type, related app, summary and
// details, the diagnostics notice, the failure of the last try, and Cancel / Send; once the
// store reports the report sent, a confirmation instead. Shown in a ModalOverlay, whose frame
// draws the bg0 background. Escape closes it, Ctrl+Return sends.
FocusScope {
    id: sheet

    readonly property FeedbackViewModel model: feedbackModel

    objectName: "feedbackSheet"
    implicitWidth: 520
    implicitHeight: (feedbackModel.submitted ? successView.implicitHeight
                                             : form.implicitHeight) + 48

    FeedbackViewModel {
        id: feedbackModel
        store: Launcher.store
        onSubmittedChanged: if (feedbackModel.submitted) successView.closeControl.forceActiveFocus()
    }

    Component.onCompleted: summaryField.forceActiveFocus()
    Keys.onEscapePressed: feedbackModel.close()

    Shortcut {
        sequences: ["Ctrl+Return", "Ctrl+Enter"]
        enabled: feedbackModel.canSubmit && !feedbackModel.submitted
        onActivated: feedbackModel.submit()
    }

    // Scrolls when the window is too short for the whole form.
    Flickable {
        id: scroller
        anchors.fill: parent
        contentWidth: width
        contentHeight: sheet.implicitHeight
        boundsBehavior: Flickable.StopAtBounds
        clip: true
        ScrollBar.vertical: ScrollBar {}

        Column {
            id: form
            objectName: "feedbackForm"
            x: 24
            y: 24
            width: scroller.width - 48
            spacing: 8
            visible: !feedbackModel.submitted

            Text {
                width: parent.width
                text: Copy.texts.feedbackTitle
                color: Theme.fg0
                font.family: Design.displayFamily
                font.pixelSize: 22
                font.weight: Font.DemiBold
                wrapMode: Text.WordWrap
                Accessible.role: Accessible.Heading
            }
            Text {
                width: parent.width
                text: Copy.texts.feedbackLead
                color: Theme.fg2
                font.pixelSize: 13
                wrapMode: Text.WordWrap
                bottomPadding: 8
            }

            FieldLabel { text: Copy.texts.feedbackType }
            FeedbackTypePicker {
                id: typePicker
                width: parent.width
                model: feedbackModel
                backtabTarget: sendButton.enabled ? sendButton : cancelButton
                Accessible.name: Copy.texts.feedbackType
                Accessible.role: Accessible.Grouping
            }

            FieldLabel { text: Copy.texts.feedbackRelatedApp }
            ComboBox {
                id: relatedApp
                objectName: "feedbackRelatedApp"
                width: parent.width
                height: 34
                model: feedbackModel.relatedAppNames
                currentIndex: feedbackModel.relatedAppIndex
                onActivated: (index) => feedbackModel.relatedAppIndex = index
                font.pixelSize: 13
                Accessible.name: Copy.texts.feedbackRelatedApp
                palette.window: Theme.bg1
                palette.base: Theme.bg2
                palette.button: Theme.bg2
                palette.buttonText: Theme.fg0
                palette.text: Theme.fg0
                palette.windowText: Theme.fg0
                palette.highlight: Theme.bg3
                palette.highlightedText: Theme.fg0
                palette.light: Theme.bg3
                palette.mid: Theme.line2
                palette.dark: Theme.line2

                background: Rectangle {
                    radius: 7
                    color: Theme.bg2
                    border.width: 1
                    border.color: relatedApp.visualFocus ? Theme.lime : Theme.line
                }
            }

            FieldLabel { text: Copy.texts.feedbackSummary }
            TextField {
                id: summaryField
                objectName: "feedbackSummaryField"
                width: parent.width
                height: 34
                text: feedbackModel.title
                onTextEdited: feedbackModel.title = text
                placeholderText: Copy.texts.feedbackSummaryPlaceholder
                placeholderTextColor: Theme.fgCaption
                color: Theme.fg0
                selectionColor: Theme.violet
                font.pixelSize: 13
                Accessible.name: Copy.texts.feedbackSummary
                // Return moves on to the details; Ctrl+Return is the sheet's send shortcut.
                onAccepted: detailsField.forceActiveFocus()

                background: Rectangle {
                    radius: 7
                    color: Theme.bg2
                    border.width: 1
                    border.color: summaryField.activeFocus ? Theme.lime : Theme.line
                }
            }

            FieldLabel { text: Copy.texts.feedbackDescription }
            Rectangle {
                width: parent.width
                height: 120
                radius: 7
                color: Theme.bg2
                border.width: 1
                border.color: detailsField.activeFocus ? Theme.lime : Theme.line

                ScrollView {
                    anchors.fill: parent
                    anchors.margins: 1

                    TextArea {
                        id: detailsField
                        objectName: "feedbackDetailsField"
                        text: feedbackModel.description
                        onTextChanged: feedbackModel.description = text
                        color: Theme.fg0
                        selectionColor: Theme.violet
                        font.pixelSize: 13
                        wrapMode: TextEdit.Wrap
                        background: null
                        Accessible.name: Copy.texts.feedbackDescription
                        // Tab leaves the editor instead of typing a tab character.
                        KeyNavigation.priority: KeyNavigation.BeforeItem
                        KeyNavigation.tab: cancelButton
                        KeyNavigation.backtab: summaryField
                    }
                }
                // Drawn over the empty editor; a text takes no clicks, so they reach the editor.
                Text {
                    objectName: "feedbackDetailsPlaceholder"
                    x: detailsField.leftPadding + 1
                    y: detailsField.topPadding + 1
                    width: parent.width - 2 * x
                    visible: detailsField.length === 0 && detailsField.preeditText === ""
                    text: Copy.texts.feedbackDescriptionPlaceholder
                    color: Theme.fgCaption
                    font.pixelSize: 13
                    wrapMode: Text.WordWrap
                    Accessible.ignored: true
                }
            }

            Item {
                width: parent.width
                height: 4
            }
            FeedbackNotice {
                width: parent.width
                symbol: "lock.shield"
                title: Copy.texts.feedbackDiagnosticsTitle
                body: Copy.texts.feedbackDiagnosticsBody
            }
            FeedbackNotice {
                objectName: "feedbackFailure"
                width: parent.width
                visible: feedbackModel.failed
                symbol: "exclamationmark.triangle"
                accent: Theme.amber
                body: feedbackModel.failureMessage
            }

            Item {
                width: parent.width
                height: buttons.implicitHeight + 8

                Row {
                    id: buttons
                    anchors.right: parent.right
                    anchors.bottom: parent.bottom
                    spacing: 10

                    NimbaraButton {
                        id: cancelButton
                        objectName: "feedbackCancelButton"
                        variant: ButtonVariant.Secondary
                        text: Copy.texts.feedbackCancel
                        onClicked: feedbackModel.close()
                        Keys.onReturnPressed: feedbackModel.close()
                        Keys.onEnterPressed: feedbackModel.close()
                        KeyNavigation.tab: sendButton.enabled ? (sendButton as Item) : typePicker.firstSegment
                        KeyNavigation.backtab: detailsField
                    }
                    NimbaraButton {
                        id: sendButton
                        objectName: "feedbackSendButton"
                        variant: ButtonVariant.Primary
                        symbol: feedbackModel.submitting ? "hourglass" : "paperplane"
                        text: feedbackModel.submitting ? Copy.texts.feedbackSubmitting
                                                       : Copy.texts.feedbackSubmit
                        enabled: feedbackModel.canSubmit
                        onClicked: feedbackModel.submit()
                        Keys.onReturnPressed: feedbackModel.submit()
                        Keys.onEnterPressed: feedbackModel.submit()
                        KeyNavigation.tab: typePicker.firstSegment
                        KeyNavigation.backtab: cancelButton
                    }
                }
            }
        }

        FeedbackSuccessView {
            id: successView
            objectName: "feedbackSuccess"
            x: 24
            y: 24
            width: scroller.width - 48
            visible: feedbackModel.submitted
            model: feedbackModel
        }
    }

    component FieldLabel: Text {
        color: Theme.fg1
        font.pixelSize: 12
        font.weight: Font.Medium
        topPadding: 6
    }
}
