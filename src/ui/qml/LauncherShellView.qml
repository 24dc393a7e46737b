import QtQuick
import QtQuick.Layouts
import Nimbara

// The working launcher: sidebar, top bar, library and app detail. Below the breakpoint the layout
// is compact: a narrower sidebar and the detail as a panel sliding over the library. Choosing a
// section or searching closes that panel, so that the change shows.
Item {
    id: shellView

    property ShellViewModel shell
    // View state, back to its start values whenever the shell is rebuilt.
    property string searchText: ""
    property int selectedSection: SidebarSection.Home
    property bool showCompactDetail: false

    readonly property bool compact: LayoutRules.isCompact(width)
    readonly property string layoutMode: compact ? "compact" : "wide"

    signal quickSwitcherRequested()

    objectName: "launcherShell"

    // First, so that Tab walks the top bar before the sidebar, the library and the detail.
    TopBarView {
        id: topBar
        x: sidebar.width
        width: parent.width - sidebar.width
        searchText: shellView.searchText
        onSearchEdited: (text) => {
            shellView.searchText = text
            shellView.showCompactDetail = false
        }
        onQuickSwitcherRequested: shellView.quickSwitcherRequested()
    }

    RowLayout {
        anchors.fill: parent
        spacing: 0

        SidebarView {
            id: sidebar
            Layout.preferredWidth: LayoutRules.sidebarWidth(shellView.width)
            Layout.fillHeight: true
            shell: shellView.shell
            selectedSection: shellView.selectedSection
            onSectionChosen: (section) => {
                shellView.selectedSection = section
                shellView.showCompactDetail = false
            }
            onQuickSwitcherRequested: shellView.quickSwitcherRequested()
        }

        ColumnLayout {
            Layout.fillWidth: true
            Layout.fillHeight: true
            spacing: 0

            // The top bar's room; the bar itself comes first among the shell's items.
            Item {
                Layout.fillWidth: true
                Layout.preferredHeight: topBar.implicitHeight
            }

            Item {
                Layout.fillWidth: true
                Layout.fillHeight: true
                clip: true

                RowLayout {
                    anchors.fill: parent
                    spacing: 0

                    LibraryHomeView {
                        objectName: "libraryView"
                        Layout.fillWidth: true
                        Layout.fillHeight: true
                        // At least 520 where the window has room. A wide window narrower
                        // than sidebar + 520 + detail keeps the detail's full 390 and gives
                        // the library what is left, rather than pushing the detail out of
                        // the window.
                        Layout.minimumWidth: shellView.compact
                                             ? 0 : Math.min(520, parent.width - LayoutRules.detailWidth - 1)
                        columns: LayoutRules.libraryColumns(shellView.width)
                        searchText: shellView.searchText
                        section: shellView.selectedSection
                        onAppSelected: shellView.showCompactDetail = true
                    }
                    Rectangle {
                        visible: !shellView.compact
                        Layout.preferredWidth: 1
                        Layout.fillHeight: true
                        color: Theme.line
                    }
                    AppDetailView {
                        objectName: "wideDetailView"
                        visible: !shellView.compact
                        Layout.preferredWidth: LayoutRules.detailWidth
                        Layout.fillHeight: true
                    }
                }

                CompactDetailView {
                    objectName: "compactDetailView"
                    width: parent.width
                    height: parent.height
                    enabled: shellView.compact
                    isPresented: shellView.compact && shellView.showCompactDetail
                    onDismissRequested: shellView.showCompactDetail = false
                }
            }
        }
    }
}
