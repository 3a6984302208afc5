import QtQuick
import QtQuick.Shapes

// Our own line-art stand-ins for the named symbols, drawn on a 24-unit grid and scaled to
// `size`. Filled parts use even-odd filling so that cut-outs stay transparent.
Item {
    id: root
    property string name
    property real size: 14
    property color color: "black"
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
                strokeColor: modelData.fill ? "transparent" : root.color
                strokeWidth: modelData.fill ? -1 : 1.9
                capStyle: ShapePath.RoundCap
                joinStyle: ShapePath.RoundJoin
                PathSvg { path: modelData.d }
            }
        }
    }
}
