import QtQuick
import QtQuick.Shapes
import Quorlix

// A small indeterminate spinner: a faint ring with a turning arc in the accent colour.
Item {
    id: root
    property color color: Theme.accent.primary
    property real size: 18
    property real lineWidth: 2.2
    implicitWidth: size
    implicitHeight: size

    Shape {
        anchors.fill: parent
        antialiasing: true
        ShapePath {
            fillColor: "transparent"
            strokeColor: Qt.rgba(root.color.r, root.color.g, root.color.b, 0.18)
            strokeWidth: root.lineWidth
            PathAngleArc {
                centerX: root.size / 2; centerY: root.size / 2
                radiusX: (root.size - root.lineWidth) / 2; radiusY: radiusX
                startAngle: 0; sweepAngle: 360
            }
        }
    }
    Shape {
        id: arc
        anchors.fill: parent
        antialiasing: true
        ShapePath {
            fillColor: "transparent"
            strokeColor: root.color
            strokeWidth: root.lineWidth
            capStyle: ShapePath.RoundCap
            PathAngleArc {
                centerX: root.size / 2; centerY: root.size / 2
                radiusX: (root.size - root.lineWidth) / 2; radiusY: radiusX
                startAngle: -90; sweepAngle: 100
            }
        }
        RotationAnimator on rotation {
            from: 0; to: 360
            duration: 900
            loops: Animation.Infinite
            running: root.visible
        }
    }
}
