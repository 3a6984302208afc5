pragma ComponentBehavior: Bound
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
    // Fills with the brand gradient instead of `color` (same as gradientStops: Theme.brandStops).
    property bool brand: false
    // Line thickness of the outlined parts, relative to the regular weight (bold > 1).
    property real weight: 1
    // Paints the symbol with these colour stops (top-leading to bottom-trailing) instead of
    // `color` when set.
    property var gradientStops: null
    readonly property var stops: brand ? Theme.brandStops : gradientStops
    implicitWidth: size
    implicitHeight: size

    readonly property var table: ({
        "trash.fill": [
            { fill: true, d: "M9.2 3 H14.8 A1 1 0 0 1 15.8 4 V5 H19.6 A0.9 0.9 0 0 1 19.6 6.8 H4.4 A0.9 0.9 0 0 1 4.4 5 H8.2 V4 A1 1 0 0 1 9.2 3 Z" },
            { fill: true, d: "M5.6 8.4 H18.4 L17.5 19.3 A1.9 1.9 0 0 1 15.6 21 H8.4 A1.9 1.9 0 0 1 6.5 19.3 Z M9.5 10.8 H10.9 V18.2 H9.5 Z M13.1 10.8 H14.5 V18.2 H13.1 Z" }
        ],
        "trash": [
            { fill: false, d: "M4 6.5 H20 M9.3 6.5 V4.4 H14.7 V6.5 M6 6.5 L7 19.1 A1.8 1.8 0 0 0 8.8 20.7 H15.2 A1.8 1.8 0 0 0 17 19.1 L18 6.5 M10.2 10.5 V16.8 M13.8 10.5 V16.8" }
        ],
        "doc.on.doc.fill": [
            { fill: true, d: "M9 2.5 H16.8 A1.6 1.6 0 0 1 18.4 4.1 V15.4 A1.6 1.6 0 0 1 16.8 17 H9 A1.6 1.6 0 0 1 7.4 15.4 V4.1 A1.6 1.6 0 0 1 9 2.5 Z" },
            { fill: true, d: "M5.2 7 H6.1 V16 A2.6 2.6 0 0 0 8.7 18.6 H14.8 V19.9 A1.6 1.6 0 0 1 13.2 21.5 H5.2 A1.6 1.6 0 0 1 3.6 19.9 V8.6 A1.6 1.6 0 0 1 5.2 7 Z" }
        ],
        "exclamationmark.triangle.fill": [
            { fill: true, d: "M10.4 3.9 A1.85 1.85 0 0 1 13.6 3.9 L21.7 18.3 A1.85 1.85 0 0 1 20.1 21 H3.9 A1.85 1.85 0 0 1 2.3 18.3 Z M10.9 8.6 H13.1 L12.75 14.8 H11.25 Z M10.9 16.3 H13.1 V18.4 H10.9 Z" }
        ],
        "star.fill": [
            { fill: true, d: "M12.0 2.8 L14.5 9.3 L21.5 9.7 L16.1 14.1 L17.9 20.9 L12.0 17.1 L6.1 20.9 L7.9 14.1 L2.5 9.7 L9.5 9.3 Z" }
        ],
        "arrowshape.turn.up.right": [
            { fill: false, d: "M14 4.8 L20.2 11 L14 17.2 M19.6 11 H10.6 A6.4 6.4 0 0 0 4.2 17.4 V19.6" }
        ],
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
        ],
        "star.fill": [
            { fill: true, d: "M12 2.6 L14.47 9.2 L21.51 9.51 L15.99 13.9 L17.88 20.69 L12 16.8 L6.12 20.69 L8.01 13.9 L2.49 9.51 L9.53 9.2 Z" }
        ],
        "star.circle.fill": [
            { fill: true, d: "M12 2 A10 10 0 1 1 12 22 A10 10 0 1 1 12 2 Z M12 6.8 L13.41 10.46 L17.33 10.67 L14.28 13.14 L15.29 16.93 L12 14.8 L8.71 16.93 L9.72 13.14 L6.67 10.67 L10.59 10.46 Z" }
        ],
        "checkmark.circle.fill": [
            { fill: true, d: "M12 2 A10 10 0 1 1 12 22 A10 10 0 1 1 12 2 Z M7 12.5 L8.5 11 L10.8 13.3 L15.5 8.6 L17 10.1 L10.8 16.3 Z" }
        ],
        "xmark.circle.fill": [
            { fill: true, d: "M12 2 A10 10 0 1 1 12 22 A10 10 0 1 1 12 2 Z M15.85 14.23 L14.23 15.85 L12 13.63 L9.77 15.85 L8.15 14.23 L10.37 12 L8.15 9.77 L9.77 8.15 L12 10.37 L14.23 8.15 L15.85 9.77 L13.63 12 Z" }
        ],
        "lock.fill": [
            { fill: false, d: "M8 10.5 V7.5 A4 4 0 0 1 16 7.5 V10.5", w: 2.4 },
            { fill: true, d: "M5 12 A2 2 0 0 1 7 10 H17 A2 2 0 0 1 19 12 V19 A2 2 0 0 1 17 21 H7 A2 2 0 0 1 5 19 Z" }
        ],
        "arrow.uturn.backward": [
            { fill: false, d: "M9 14.5 L4 9.5 L9 4.5 M4.5 9.5 H15 A5 5 0 0 1 15 19.5 H11", w: 2.4 }
        ],
        "doc.on.doc.fill": [
            { fill: false, d: "M8.5 5.5 V4.5 A1.5 1.5 0 0 1 10 3 H18.5 A1.5 1.5 0 0 1 20 4.5 V15 A1.5 1.5 0 0 1 18.5 16.5 H17.5" },
            { fill: true, d: "M4 9 A2 2 0 0 1 6 7 H13.5 A2 2 0 0 1 15.5 9 V19 A2 2 0 0 1 13.5 21 H6 A2 2 0 0 1 4 19 Z" }
        ],
        "sparkles.rectangle.stack.fill": [
            { fill: false, d: "M6.5 3.8 H17.5 M4.8 6.9 H19.2" },
            { fill: true, d: "M3 11.5 A1.8 1.8 0 0 1 4.8 9.7 H19.2 A1.8 1.8 0 0 1 21 11.5 V19.2 A1.8 1.8 0 0 1 19.2 21 H4.8 A1.8 1.8 0 0 1 3 19.2 Z M12 11.6 C12.3 14 13.2 14.9 15.6 15.3 C13.2 15.7 12.3 16.6 12 19 C11.7 16.6 10.8 15.7 8.4 15.3 C10.8 14.9 11.7 14 12 11.6 Z" }
        ],
        "square.and.arrow.up": [
            { fill: false, d: "M8.5 9.5 H7 A2 2 0 0 0 5 11.5 V19 A2 2 0 0 0 7 21 H17 A2 2 0 0 0 19 19 V11.5 A2 2 0 0 0 17 9.5 H15.5" },
            { fill: false, d: "M12 3 V14 M8.5 6.5 L12 3 L15.5 6.5" }
        ],
        "arrowshape.turn.up.right.fill": [
            { fill: true, d: "M13.5 4 L21.5 11 L13.5 18 V14 C8.8 14 5.8 15.6 3.5 19.5 C4.2 13.2 7.4 9.2 13.5 8.6 Z" }
        ],
        "chevron.left": [
            { fill: false, d: "M15 5 L8 12 L15 19", w: 3 }
        ],
        "chevron.right": [
            { fill: false, d: "M9 5 L16 12 L9 19", w: 3 }
        ],
        "person.crop.circle.badge.checkmark": [
            { fill: false, d: "M20.6 10.4 A9 9 0 1 0 13.6 20.9" },
            { fill: true, d: "M11.5 6.3 A3.3 3.3 0 1 1 11.49 6.3 Z M5.6 17.6 C6.8 14.9 8.9 13.6 11.5 13.6 C12.9 13.6 14.1 14 15.1 14.7 C13.9 15.6 13.1 17 13 18.6 C12.5 18.7 12 18.7 11.5 18.7 C9.2 18.7 7.1 18.4 5.6 17.6 Z" },
            { fill: false, d: "M15.2 18.4 L17.3 20.5 L21.5 16.3", w: 2.2 }
        ],
        "text.magnifyingglass": [
            { fill: false, d: "M3 5 H15 M3 9.5 H10 M3 14 H7.5" },
            { fill: false, d: "M15 10.5 A4.3 4.3 0 1 1 14.99 10.5 Z M18.1 17.9 L21.3 21.1", w: 2.2 }
        ],
        "character.cursor.ibeam": [
            { fill: false, d: "M2.5 19 L7.8 5 L13.1 19 M4.6 14 H11", w: 2.2 },
            { fill: false, d: "M18.5 4 V20 M16 4 H21 M16 20 H21" }
        ],
        "book.pages.fill": [
            { fill: true, d: "M5 4.2 A2.2 2.2 0 0 1 7.2 2 H19 V17.8 H7.4 A1.6 1.6 0 0 0 7.4 21 H19 V22 H7.2 A2.2 2.2 0 0 1 5 19.8 Z M9 5.8 H16 V7.3 H9 Z M9 9.4 H14 V10.9 H9 Z" }
        ],
        "iphone.and.arrow.forward": [
            { fill: false, d: "M3.5 4.2 A2.2 2.2 0 0 1 5.7 2 H11.3 A2.2 2.2 0 0 1 13.5 4.2 V19.8 A2.2 2.2 0 0 1 11.3 22 H5.7 A2.2 2.2 0 0 1 3.5 19.8 Z M7.3 18.8 H9.7" },
            { fill: false, d: "M15.5 12 H22 M19 9 L22 12 L19 15", w: 2.2 }
        ],
        "gift.fill": [
            { fill: true, d: "M3 8.5 A1 1 0 0 1 4 7.5 H11 V11 H3 Z M13 7.5 H20 A1 1 0 0 1 21 8.5 V11 H13 Z M4 12.5 H11 V21.5 H5.5 A1.5 1.5 0 0 1 4 20 Z M13 12.5 H20 V20 A1.5 1.5 0 0 1 18.5 21.5 H13 Z" },
            { fill: false, d: "M12 7.2 C10.3 3.3 6.6 3.3 7.4 5.8 C7.9 7 12 7.2 12 7.2 C12 7.2 16.1 7 16.6 5.8 C17.4 3.3 13.7 3.3 12 7.2" }
        ]
    })

    Repeater {
        model: root.table[root.name] || []
        Shape {
            id: shape
            required property var modelData
            width: 24
            height: 24
            scale: root.size / 24
            transformOrigin: Item.TopLeft
            antialiasing: true
            // Filled parts take the gradient across the symbol's square; outlines its middle
            // colour, as strokes cannot hold a gradient.
            LinearGradient {
                id: paint
                x1: 0; y1: 0
                x2: 24; y2: 24
                GradientStop { position: 0.0; color: root.stops ? root.stops[0] : "transparent" }
                GradientStop { position: 1.0; color: root.stops ? root.stops[root.stops.length - 1] : "transparent" }
            }
            ShapePath {
                fillRule: ShapePath.OddEvenFill
                fillColor: shape.modelData.fill ? root.color : "transparent"
                fillGradient: shape.modelData.fill && root.stops ? paint : null
                strokeColor: shape.modelData.fill ? "transparent"
                           : (root.stops ? root.stops[Math.floor(root.stops.length / 2)] : root.color)
                strokeWidth: shape.modelData.fill ? -1 : (shape.modelData.w || 1.9) * root.weight
                capStyle: ShapePath.RoundCap
                joinStyle: ShapePath.RoundJoin
                PathSvg { path: shape.modelData.d }
            }
        }
    }
}
