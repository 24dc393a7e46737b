import QtQuick
import Nimbara

// The launcher's mark: three concentric rounded squares, lime-to-violet around bg0.
Canvas {
    id: logo

    property real size: 22

    implicitWidth: size
    implicitHeight: size
    width: size
    height: size
    Accessible.ignored: true

    onSizeChanged: requestPaint()
    onPaint: {
        const ctx = getContext("2d")
        ctx.reset()
        const s = size
        const gradient = ctx.createLinearGradient(0, 0, s, s)
        gradient.addColorStop(0, Theme.lime)
        gradient.addColorStop(1, Theme.violet)
        const square = (inset, radius, fill) => {
            ctx.fillStyle = fill
            ctx.beginPath()
            ctx.roundedRect(inset, inset, s - 2 * inset, s - 2 * inset, radius, radius)
            ctx.fill()
        }
        square(0, 0.22 * s, gradient)
        square(0.22 * s, 0.10 * s, Theme.bg0)
        square(0.34 * s, 0.05 * s, gradient)
    }
}
