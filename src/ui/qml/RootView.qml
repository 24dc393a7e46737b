import QtQuick
import Nimbara

// The main window's content: onboarding or the working shell, with the quick switcher, the
// announcement popup, the feedback sheet and the error alert layered above it.
Rectangle {
    id: root

    property bool showQuickSwitcher: false
    // Onboarding replaces the shell while the store requires it.
    readonly property bool showsOnboarding: shellModel.requiresOnboarding
    readonly property alias shellModel: shellModel

    color: Theme.bg0

    ShellViewModel {
        id: shellModel
        store: Launcher.store
    }

    // Content layer. Switching between onboarding and shell fades the new content in.
    Loader {
        id: content
        objectName: "contentLayer"
        anchors.fill: parent
        sourceComponent: root.showsOnboarding ? onboardingScreen : shellScreen
    }
    readonly property bool onboardingComplete: shellModel.onboardingComplete
    onOnboardingCompleteChanged: contentSwitch.restart()
    NumberAnimation {
        id: contentSwitch
        target: content
        property: "opacity"
        from: 0
        to: 1
        duration: 180
        easing.type: Easing.InOutQuad
    }

    Component {
        id: shellScreen
        LauncherShellView {}
    }
    Component {
        id: onboardingScreen
        OnboardingView {}
    }
    // The shell gets the root's view model and may ask for the quick switcher; onboarding needs
    // neither.
    Binding {
        target: content.item as LauncherShellView
        property: "shell"
        value: shellModel
    }
    Connections {
        target: content.item
        ignoreUnknownSignals: true
        function onQuickSwitcherRequested() { root.showQuickSwitcher = true }
    }

    // Quick switcher layer: a new switcher (empty query, first row selected) each time
    // showQuickSwitcher turns true. It fades in and out (its panel growing from 0.96) and is
    // unloaded once faded out; closing gives the focus back to where it was.
    property Item focusBeforeQuickSwitcher: null
    onShowQuickSwitcherChanged: {
        if (showQuickSwitcher) {
            focusBeforeQuickSwitcher = root.Window.activeFocusItem
            quickSwitcherLoader.active = false
            quickSwitcherLoader.active = true
        } else if (focusBeforeQuickSwitcher) {
            focusBeforeQuickSwitcher.forceActiveFocus()
        }
    }
    Item {
        id: quickSwitcherLayer
        objectName: "quickSwitcherLayer"
        anchors.fill: parent
        z: 10
        enabled: root.showQuickSwitcher
        opacity: root.showQuickSwitcher ? 1 : 0
        visible: root.showQuickSwitcher || opacity > 0
        onVisibleChanged: if (!visible) quickSwitcherLoader.active = false
        Behavior on opacity {
            NumberAnimation { duration: 160; easing.type: Easing.InOutQuad }
        }

        Loader {
            id: quickSwitcherLoader
            anchors.fill: parent
            active: false
            sourceComponent: QuickSwitcherView {}
        }
        Binding {
            target: quickSwitcherLoader.item
            property: "presence"
            value: quickSwitcherLayer.opacity
        }
        Connections {
            target: quickSwitcherLoader.item
            function onDismissRequested() { root.showQuickSwitcher = false }
        }
    }

    // Announcement layer: never over the onboarding screen.
    ModalOverlay {
        objectName: "announcementOverlay"
        z: 20
        shown: shellModel.showsAnnouncement

        AnnouncementPopup {
            shell: shellModel
        }
    }

    // Feedback layer, above the announcement. The sheet is built anew each time it opens, so
    // every opening starts with an empty form.
    ModalOverlay {
        id: feedbackLayer
        objectName: "feedbackLayer"
        z: 30
        shown: shellModel.showingFeedbackSheet

        Loader {
            objectName: "feedbackSheetLoader"
            active: shellModel.showingFeedbackSheet
            sourceComponent: FeedbackSheet {}
        }
    }

    // The launcher's own update, above everything but the error alert.
    ModalOverlay {
        objectName: "updateLayer"
        z: 40
        shown: Launcher.updater.showingDialog

        UpdateDialog {}
    }

    // The one error alert. However it is dismissed, the message is cleared afterwards.
    AlertDialog {
        id: errorAlert
        objectName: "errorAlert"
        title: Copy.texts.brand
        message: shellModel.errorMessage
        acceptText: Copy.texts.ok
        onClosed: clearErrorSoon.start()
    }
    // Clears the message once the dialog has finished closing.
    Timer {
        id: clearErrorSoon
        interval: 0
        onTriggered: shellModel.clearError()
    }
    readonly property bool hasError: shellModel.hasError
    onHasErrorChanged: if (hasError) errorAlert.open()
    Component.onCompleted: if (hasError) errorAlert.open()
}
