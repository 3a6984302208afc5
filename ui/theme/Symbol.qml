import QtQuick
import QtQuick.Shapes
import Quorlix

// Our own line-art stand-ins for the named symbols, drawn on a 24-unit grid and scaled to
// `size`. Filled parts use even-odd filling so that cut-outs stay transparent.
Item {
    id: root
    property string name
    property real size: 14
    property color color: "black"
    // Fills with the brand gradient instead of `color`.
    property bool brand: false
    implicitWidth: size
    implicitHeight: size

    readonly property var table: ({
        "folder.fill": [
            { fill: true, d: "M3 6.6 A1.6 1.6 0 0 1 4.6 5 H9.3 L11.3 7 H19.4 A1.6 1.6 0 0 1 21 8.6 V17.4 A1.6 1.6 0 0 1 19.4 19 H4.6 A1.6 1.6 0 0 1 3 17.4 Z" }
        ],
        "folder.badge.plus": [
            { fill: false, d: "M3.5 7 A1.8 1.8 0 0 1 5.3 5.2 H9.2 L11.2 7.2 H18.7 A1.8 1.8 0 0 1 20.5 9 V17 A1.8 1.8 0 0 1 18.7 18.8 H5.3 A1.8 1.8 0 0 1 3.5 17 Z" },
            { fill: false, d: "M12 10.2 V15.8 M9.2 13 H14.8" }
        ],
        "checkmark.seal.fill": [
            { fill: true, d: "M10.87 2.70 Q12.00 1.80 13.13 2.70 Q14.25 3.60 15.68 3.38 Q17.10 3.17 17.63 4.51 Q18.15 5.85 19.49 6.37 Q20.83 6.90 20.62 8.32 Q20.40 9.75 21.30 10.87 Q22.20 12.00 21.30 13.13 Q20.40 14.25 20.62 15.68 Q20.83 17.10 19.49 17.63 Q18.15 18.15 17.63 19.49 Q17.10 20.83 15.68 20.62 Q14.25 20.40 13.13 21.30 Q12.00 22.20 10.87 21.30 Q9.75 20.40 8.32 20.62 Q6.90 20.83 6.37 19.49 Q5.85 18.15 4.51 17.63 Q3.17 17.10 3.38 15.68 Q3.60 14.25 2.70 13.13 Q1.80 12.00 2.70 10.87 Q3.60 9.75 3.38 8.32 Q3.17 6.90 4.51 6.37 Q5.85 5.85 6.37 4.51 Q6.90 3.17 8.32 3.38 Q9.75 3.60 10.87 2.70 Z M7.4 12.3 L8.8 10.9 L10.8 12.9 L15.2 8.5 L16.6 9.9 L10.8 15.7 Z" }
        ],
        "checkmark.circle.fill": [
            { fill: true, d: "M12 2.5 A9.5 9.5 0 1 1 11.99 2.5 Z M7.4 12.3 L8.8 10.9 L10.8 12.9 L15.2 8.5 L16.6 9.9 L10.8 15.7 Z" }
        ],
        "exclamationmark.triangle.fill": [
            { fill: true, d: "M10.6 3.9 A1.6 1.6 0 0 1 13.4 3.9 L21.6 18.4 A1.6 1.6 0 0 1 20.2 20.8 H3.8 A1.6 1.6 0 0 1 2.4 18.4 Z M11 8.6 H13 L12.7 14.4 H11.3 Z M12 15.6 A1.2 1.2 0 1 1 11.99 15.6 Z" }
        ],
        "arrow.down.app.fill": [
            { fill: true, d: "M6 3 H18 A3 3 0 0 1 21 6 V18 A3 3 0 0 1 18 21 H6 A3 3 0 0 1 3 18 V6 A3 3 0 0 1 6 3 Z M11 6.5 H13 V12.2 H15.9 L12 16.9 L8.1 12.2 H11 Z" }
        ],
        "square.and.arrow.up": [
            { fill: false, d: "M8.5 9.5 H7 A1.8 1.8 0 0 0 5.2 11.3 V19.2 A1.8 1.8 0 0 0 7 21 H17 A1.8 1.8 0 0 0 18.8 19.2 V11.3 A1.8 1.8 0 0 0 17 9.5 H15.5" },
            { fill: false, d: "M12 3 V14.5 M8.6 6.4 L12 3 L15.4 6.4" }
        ],
        "square.and.arrow.down": [
            { fill: false, d: "M8.5 9.5 H7 A1.8 1.8 0 0 0 5.2 11.3 V19.2 A1.8 1.8 0 0 0 7 21 H17 A1.8 1.8 0 0 0 18.8 19.2 V11.3 A1.8 1.8 0 0 0 17 9.5 H15.5" },
            { fill: false, d: "M12 3 V14.5 M8.6 11.1 L12 14.5 L15.4 11.1" }
        ],
        "doc.on.doc": [
            { fill: false, d: "M9.8 7.5 H17.2 A1.8 1.8 0 0 1 19 9.3 V19.2 A1.8 1.8 0 0 1 17.2 21 H9.8 A1.8 1.8 0 0 1 8 19.2 V9.3 A1.8 1.8 0 0 1 9.8 7.5 Z" },
            { fill: false, d: "M5 16.5 V4.8 A1.8 1.8 0 0 1 6.8 3 H14" }
        ],
        "folder": [
            { fill: false, d: "M3.5 7 A1.8 1.8 0 0 1 5.3 5.2 H9.2 L11.2 7.2 H18.7 A1.8 1.8 0 0 1 20.5 9 V17 A1.8 1.8 0 0 1 18.7 18.8 H5.3 A1.8 1.8 0 0 1 3.5 17 Z" }
        ],
        "envelope": [
            { fill: false, d: "M4.8 5.5 H19.2 A1.8 1.8 0 0 1 21 7.3 V16.7 A1.8 1.8 0 0 1 19.2 18.5 H4.8 A1.8 1.8 0 0 1 3 16.7 V7.3 A1.8 1.8 0 0 1 4.8 5.5 Z" },
            { fill: false, d: "M3.6 6.6 L12 12.8 L20.4 6.6" }
        ],
        "sparkles": [
            { fill: true, d: "M10 3 C10.6 7.4 12.6 9.4 17 10 C12.6 10.6 10.6 12.6 10 17 C9.4 12.6 7.4 10.6 3 10 C7.4 9.4 9.4 7.4 10 3 Z" },
            { fill: true, d: "M18 13.5 C18.3 15.7 19 16.4 21.2 16.7 C19 17 18.3 17.7 18 19.9 C17.7 17.7 17 17 14.8 16.7 C17 16.4 17.7 15.7 18 13.5 Z" },
            { fill: true, d: "M18.3 2.5 C18.5 3.9 19 4.4 20.4 4.6 C19 4.8 18.5 5.3 18.3 6.7 C18.1 5.3 17.6 4.8 16.2 4.6 C17.6 4.4 18.1 3.9 18.3 2.5 Z" }
        ],
        "lock.shield.fill": [
            { fill: true, d: "M12 2.3 L19.6 5.4 V11 C19.6 15.9 16.4 19.7 12 21.7 C7.6 19.7 4.4 15.9 4.4 11 V5.4 Z M9 11.2 H15 V16.2 H9 Z M10 11.2 V9.6 A2 2 0 0 1 14 9.6 V11.2 H12.9 V9.6 A0.9 0.9 0 0 0 11.1 9.6 V11.2 Z" }
        ]
    })

    Repeater {
        model: root.table[root.name] || []
        Shape {
            width: 24
            height: 24
            scale: root.size / 24
            transformOrigin: Item.TopLeft
            antialiasing: true
            ShapePath {
                fillRule: ShapePath.OddEvenFill
                fillColor: modelData.fill ? root.color : "transparent"
                fillGradient: root.brand && modelData.fill ? brandFill : null
                property LinearGradient brandFill: LinearGradient {
                    x1: 0; y1: 0; x2: 24; y2: 24
                    GradientStop { position: 0.0; color: Theme.brandStops[0] }
                    GradientStop { position: 0.5; color: Theme.brandStops[1] }
                    GradientStop { position: 1.0; color: Theme.brandStops[2] }
                }
                strokeColor: modelData.fill ? "transparent" : root.color
                strokeWidth: modelData.fill ? -1 : 1.9
                capStyle: ShapePath.RoundCap
                joinStyle: ShapePath.RoundJoin
                PathSvg { path: modelData.d }
            }
        }
    }
}
