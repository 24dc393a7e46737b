import QtQuick
import Nimbara

// The three basics every library page ends with.
CardSurface {
    implicitHeight: content.implicitHeight + 32

    Column {
        id: content
        x: 16
        y: 16
        width: parent.width - 32
        spacing: 12

        Text {
            text: Copy.texts.basicsTitle
            color: Theme.fg0
            font.pixelSize: 13
            font.weight: Font.DemiBold
        }
        NoteRow { width: parent.width; text: Copy.texts.basicsOne }
        NoteRow { width: parent.width; text: Copy.texts.basicsTwo }
        NoteRow { width: parent.width; text: Copy.texts.basicsThree }
    }
}
