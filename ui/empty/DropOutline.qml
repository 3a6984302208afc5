import QtQuick
import QtQuick.Shapes
import Quorlix

// The dashed outline shown while a drag hovers: 2 wide, 8 on and 6 off, inside the edge.
Item {
    id: root
    property bool shown: false
    opacity: shown ? 1 : 0
    visible: opacity > 0.001
    Behavior on opacity { Spring { curve: Theme.quickSpring } }

    Rectangle {
        anchors.fill: parent
        radius: 12
        color: Qt.rgba(Theme.accent.primary.r, Theme.accent.primary.g, Theme.accent.primary.b, 0.05)
    }
    Shape {
        anchors.fill: parent
        antialiasing: true
        ShapePath {
            fillColor: "transparent"
            strokeColor: Theme.border.accent
            strokeWidth: 2
            strokeStyle: ShapePath.DashLine
            // In units of the stroke width.
            dashPattern: [ 4, 3 ]
            RoundedPath { x0: 1; y0: 1; w: root.width - 2; h: root.height - 2; r: 11 }
        }
    }
}
