import QtQuick

// A rounded rectangle outline as one SVG path, for fills and strokes that Rectangle cannot do
// (diagonal gradients, dashes).
PathSvg {
    property real x0: 0
    property real y0: 0
    property real w: 0
    property real h: 0
    property real r: 0
    readonly property real rr: Math.max(0, Math.min(r, w / 2, h / 2))
    path: w <= 0 || h <= 0 ? "" :
        "M " + (x0 + rr) + " " + y0 +
        " L " + (x0 + w - rr) + " " + y0 +
        " A " + rr + " " + rr + " 0 0 1 " + (x0 + w) + " " + (y0 + rr) +
        " L " + (x0 + w) + " " + (y0 + h - rr) +
        " A " + rr + " " + rr + " 0 0 1 " + (x0 + w - rr) + " " + (y0 + h) +
        " L " + (x0 + rr) + " " + (y0 + h) +
        " A " + rr + " " + rr + " 0 0 1 " + x0 + " " + (y0 + h - rr) +
        " L " + x0 + " " + (y0 + rr) +
        " A " + rr + " " + rr + " 0 0 1 " + (x0 + rr) + " " + y0 + " Z"
}
