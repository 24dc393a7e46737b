import QtQuick
import Nimbara

// An app's icon: a rounded square with the app's accent gradient and shadow, showing the icon
// image when it has loaded and the app's symbol otherwise (while loading, on failure, without
// an address). Images come from the launcher's icon cache ("image://appicon/<address>"), which
// fetches each address once per run whatever the sizes and screens that show it.
Item {
    id: icon

    // appPresentation fields: accent, symbolName, iconUrl.
    property var app: ({})
    property real size: 42

    readonly property string accentName: app && app.accent ? app.accent : "lime"
    readonly property string iconUrl: app && app.iconUrl ? app.iconUrl : ""
    readonly property real shadowRoom: 32

    implicitWidth: size
    implicitHeight: size

    // Gradient and shadow; the canvas is larger than the icon so the shadow is not cut off.
    Canvas {
        id: surface
        x: -icon.shadowRoom
        y: -icon.shadowRoom
        width: icon.size + 2 * icon.shadowRoom
        height: icon.size + 2 * icon.shadowRoom

        onPaint: {
            const ctx = getContext("2d")
            ctx.reset()
            const s = icon.size
            const o = icon.shadowRoom
            const start = Theme.accent(icon.accentName)
            const gradient = ctx.createLinearGradient(o, o, o + s, o + s)
            gradient.addColorStop(0, start)
            gradient.addColorStop(1, Theme.gradientEnd(icon.accentName))
            ctx.shadowColor = Theme.faded(start, 0.16)
            ctx.shadowBlur = 16
            ctx.shadowOffsetX = 0
            ctx.shadowOffsetY = 8
            ctx.fillStyle = gradient
            ctx.beginPath()
            ctx.roundedRect(o, o, s, s, 0.22 * s, 0.22 * s)
            ctx.fill()
        }
    }
    onAccentNameChanged: surface.requestPaint()
    onSizeChanged: surface.requestPaint()

    Image {
        id: image
        objectName: "iconImage"
        anchors.fill: parent
        anchors.margins: 0.08 * icon.size
        source: icon.iconUrl ? "image://appicon/" + encodeURIComponent(icon.iconUrl) : ""
        asynchronous: true
        fillMode: Image.PreserveAspectFit
        sourceSize.width: width
        sourceSize.height: height
        visible: status === Image.Ready
    }

    Symbol {
        objectName: "iconFallback"
        anchors.centerIn: parent
        visible: image.status !== Image.Ready
        name: icon.app && icon.app.symbolName ? icon.app.symbolName : ""
        size: 0.48 * icon.size
        font.weight: Font.DemiBold
        color: Theme.symbolOnAccent(icon.accentName)
    }
}
