import QtQuick
import Nimbara

// "Update all (N)" while two or more apps have an update; "Stop updating" while they update.
NimbaraButton {
    readonly property bool shown: model.shown

    UpdateAllViewModel {
        id: model
        store: Launcher.store
    }

    visible: shown
    variant: model.inProgress ? ButtonVariant.Ghost : ButtonVariant.Primary
    symbol: model.inProgress ? "xmark" : "arrow.down.circle"
    text: model.title
    onClicked: model.trigger()
}
