import QtQuick
import QtQuick.Layouts
import Nimbara

// The general settings: launch at login with its notes, all available apps, the language and
// the quick-switcher shortcut.
CardSurface {
    id: card

    required property PreferencesViewModel preferences
    readonly property bool pickerOpen: picker.popup.visible

    Layout.fillWidth: true
    implicitHeight: rows.implicitHeight

    ColumnLayout {
        id: rows
        width: parent.width
        spacing: 0

        PreferenceRow {
            title: Copy.texts.preferencesLaunchAtLogin

            PreferenceSwitch {
                objectName: "launchAtLoginSwitch"
                Accessible.name: Copy.texts.preferencesLaunchAtLogin
                on: card.preferences.launchAtLogin
                onSwitched: (value) => { card.preferences.launchAtLogin = value }
            }
        }
        LaunchAtLoginNote {
            objectName: "launchAtLoginApprovalNote"
            visible: card.preferences.showsApprovalNote
            text: Copy.texts.preferencesLaunchAtLoginRequiresApproval

            LinkButton {
                objectName: "openLoginItemSettingsButton"
                text: Copy.texts.preferencesLaunchAtLoginOpenSettings
                onClicked: card.preferences.openLoginItemSettings()
            }
        }
        // A failed registration is about the folder of apps that start at login; the same
        // button shows it, so the user can see what is wrong there.
        LaunchAtLoginNote {
            objectName: "launchAtLoginErrorNote"
            visible: card.preferences.showsErrorNote
            text: card.preferences.errorNote

            LinkButton {
                objectName: "openLoginItemSettingsFromErrorButton"
                text: Copy.texts.preferencesLaunchAtLoginOpenSettings
                onClicked: card.preferences.openLoginItemSettings()
            }
        }
        PreferenceRow {
            title: Copy.texts.preferencesIncludeBetaApps

            PreferenceSwitch {
                objectName: "includeBetaAppsSwitch"
                Accessible.name: Copy.texts.preferencesIncludeBetaApps
                on: card.preferences.includeBetaApps
                onSwitched: (value) => { card.preferences.includeBetaApps = value }
            }
        }
        PreferenceRow {
            title: Copy.texts.preferencesLanguage

            LanguagePicker {
                id: picker
                objectName: "languagePicker"
                Accessible.name: Copy.texts.preferencesLanguage
                model: card.preferences.languages
                currentIndex: card.preferences.languageIndex
                onActivated: (index) => { card.preferences.languageIndex = index }
            }
        }
        PreferenceRow {
            title: Copy.texts.preferencesGlobalShortcut

            Rectangle {
                objectName: "shortcutKeyCap"
                implicitWidth: keys.implicitWidth + 16
                implicitHeight: 24
                radius: 5
                color: Theme.bg3
                Accessible.role: Accessible.StaticText
                Accessible.name: keys.text

                Text {
                    id: keys
                    objectName: "shortcutKeyCapText"
                    anchors.centerIn: parent
                    text: Design.quickSwitchShortcutText
                    color: Theme.fg1
                    font.family: Design.monoFamily
                    font.pixelSize: 11
                }
            }
        }
    }
}
