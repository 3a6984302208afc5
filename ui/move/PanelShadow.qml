import QtQuick

// A soft shadow under a rounded panel, blurred like a real one (the stacked-rectangle shadow
// shows its steps at the large radii of modal cards). Only the shadow is drawn: the panel's own
// shape is cut out, so a translucent panel stays clear. Fill the panel with it.
Item {
    id: root
    property real radius: 10
    property color color: Qt.rgba(0, 0, 0, 0.25)
    property real blur: 20
    property real offsetY: 8

    readonly property real pad: blur * 1.5 + Math.abs(offsetY)

    Canvas {
        id: canvas
        x: -root.pad
        y: -root.pad
        width: root.width + 2 * root.pad
        height: root.height + 2 * root.pad
        onWidthChanged: requestPaint()
        onHeightChanged: requestPaint()

        function shape(ctx) {
            const r = Math.min(root.radius, root.width / 2, root.height / 2)
            const x = root.pad, y = root.pad, w = root.width, h = root.height
            ctx.beginPath()
            ctx.moveTo(x + r, y)
            ctx.arcTo(x + w, y, x + w, y + h, r)
            ctx.arcTo(x + w, y + h, x, y + h, r)
            ctx.arcTo(x, y + h, x, y, r)
            ctx.arcTo(x, y, x + w, y, r)
            ctx.closePath()
        }

        onPaint: {
            const ctx = getContext("2d")
            ctx.reset()
            if (root.width <= 0 || root.height <= 0)
                return
            ctx.save()
            ctx.shadowColor = root.color
            ctx.shadowBlur = root.blur
            ctx.shadowOffsetY = root.offsetY
            ctx.fillStyle = "black"
            shape(ctx)
            ctx.fill()
            ctx.restore()
            ctx.globalCompositeOperation = "destination-out"
            shape(ctx)
            ctx.fill()
        }
    }
    onColorChanged: canvas.requestPaint()
}
