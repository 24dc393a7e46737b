pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Layouts
import Nimbara

// The first-run screen: a welcome pane with the steps, and the published apps to tick before
// the launcher installs them. When more apps are published than fit, the grid scrolls and the
// footer stays in view. Keyboard: Tab reaches the grid and the continue button, the arrow keys
// move through the grid, Space or Return ticks the current app.
Item {
    id: onboarding

    readonly property alias model: onboardingModel

    objectName: "onboardingView"

    OnboardingViewModel {
        id: onboardingModel
        store: Launcher.store
    }

    RowLayout {
        anchors.fill: parent
        spacing: 0

        Rectangle {
            objectName: "onboardingWelcomePane"
            Layout.preferredWidth: 310
            Layout.fillHeight: true
            gradient: Gradient {
                GradientStop { position: 0; color: Theme.bg1 }
                GradientStop { position: 1; color: Theme.bg0 }
            }

            Rectangle {
                anchors.right: parent.right
                width: 1
                height: parent.height
                color: Theme.line
            }

            ColumnLayout {
                anchors.fill: parent
                anchors.margins: 32
                spacing: 18

                NimbaraLogo {
                    size: 34
                }
                Text {
                    Layout.fillWidth: true
                    text: Copy.texts.onboardingWelcome
                    color: Theme.fg0
                    font.family: Design.displayFamily
                    font.pixelSize: 30
                    font.weight: Font.DemiBold
                    lineHeightMode: Text.FixedHeight
                    lineHeight: 38
                    wrapMode: Text.WordWrap
                }
                ColumnLayout {
                    Layout.fillWidth: true
                    spacing: 10

                    StepRow {
                        Layout.fillWidth: true
                        title: Copy.texts.onboardingStepChoose
                        active: true
                    }
                    StepRow {
                        Layout.fillWidth: true
                        title: Copy.texts.onboardingStepInstall
                    }
                    StepRow {
                        Layout.fillWidth: true
                        title: Copy.texts.onboardingStepOpen
                    }
                }
                Item {
                    Layout.fillHeight: true
                }
                Text {
                    objectName: "onboardingStatus"
                    Layout.fillWidth: true
                    text: Copy.fill(Copy.texts.onboardingStatus,
                                    { count: onboardingModel.publishedCount })
                    color: Theme.fgCaption
                    font.family: Design.monoFamily
                    font.pixelSize: 11
                    wrapMode: Text.WordWrap
                }
            }
        }

        ColumnLayout {
            Layout.fillWidth: true
            Layout.fillHeight: true
            Layout.margins: 34
            spacing: 18

            Text {
                Layout.fillWidth: true
                text: Copy.texts.onboardingTitle
                color: Theme.fg0
                font.family: Design.displayFamily
                font.pixelSize: 26
                font.weight: Font.DemiBold
                wrapMode: Text.WordWrap
            }
            Text {
                Layout.fillWidth: true
                Layout.maximumWidth: 560
                text: Copy.texts.onboardingLead
                color: Theme.fg2
                font.pixelSize: 14
                wrapMode: Text.WordWrap
            }
            StarterAppGrid {
                id: grid
                objectName: "onboardingGrid"
                Layout.fillWidth: true
                Layout.fillHeight: true
                onboarding: onboardingModel
            }
            RowLayout {
                objectName: "onboardingFooter"
                Layout.fillWidth: true
                spacing: 12

                Text {
                    objectName: "onboardingSelectedCount"
                    text: Copy.fill(Copy.texts.onboardingSelectedCount,
                                    { count: onboardingModel.selectedCount })
                    color: Theme.fgCaption
                    font.pixelSize: 12
                }
                Item {
                    Layout.fillWidth: true
                }
                NimbaraButton {
                    objectName: "onboardingContinueButton"
                    variant: ButtonVariant.Primary
                    symbol: "arrow.right"
                    symbolTrailing: true
                    text: Copy.texts.onboardingContinue
                    enabled: onboardingModel.canContinue
                    onClicked: onboardingModel.finish()
                    Keys.onReturnPressed: onboardingModel.finish()
                    Keys.onEnterPressed: onboardingModel.finish()
                }
            }
        }
    }
}
