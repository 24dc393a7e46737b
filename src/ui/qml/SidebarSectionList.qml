import QtQuick
import Nimbara

// The sidebar's sections, one row each, as tall as its rows. The rows reach the shell and the
// selection through `ListView.view as SidebarSectionList`.
ListView {
    id: list

    property ShellViewModel shell
    property int selectedSection: SidebarSection.Home

    signal sectionChosen(int section)

    implicitHeight: contentHeight
    interactive: false
    spacing: 4
    model: list.shell ? list.shell.sections : []
}
