import QtQuick
import QtQuick.Layouts
import Nimbara

// One line of the readiness card: a lime symbol and its text.
RowLayout {
    id: row

    property string symbol
    property string text

    Layout.fillWidth: true
    spacing: 8

    Symbol {
        Layout.preferredWidth: 16
        Layout.alignment: Qt.AlignTop
        name: row.symbol
        size: 14
        color: Theme.lime
    }
    Text {
        Layout.fillWidth: true
        text: row.text
        color: Theme.fg2
        font.pixelSize: 12
        lineHeightMode: Text.FixedHeight
        lineHeight: 15
        wrapMode: Text.Wrap
    }
}
