pragma ComponentBehavior: Bound
import QtQuick

// A drop shadow made of stacked translucent rounded rectangles: no effect pipeline, so it
// draws the same with software rendering. Place it behind the shape it shadows.
Item {
    id: root
    property real radius: 7
    property color color: Qt.rgba(0, 0, 0, 0.15)
    property real blur: 8
    property real offsetY: 4
    property real strength: 1.0

    Repeater {
        model: 6
        Rectangle {
            required property int index
            readonly property real spread: root.blur * (index + 1) / 6
            x: -spread / 2
            y: root.offsetY - spread / 2
            width: root.width + spread
            height: root.height + spread
            radius: root.radius + spread / 2
            color: root.color
            opacity: root.strength * 0.32 * (1 - index / 6)
        }
    }
}
