import QtQuick
import QtQuick.Shapes
import Quorlix

// A rounded rectangle filled with a top-leading to bottom-trailing gradient.
Shape {
    id: root
    property real radius: 7
    property var stops: Theme.brandStops
    antialiasing: true

    ShapePath {
        strokeWidth: -1
        strokeColor: "transparent"
        fillGradient: LinearGradient {
            x1: 0; y1: 0
            x2: root.width; y2: root.height
            GradientStop { position: 0.0; color: root.stops[0] }
            GradientStop { position: root.stops.length > 2 ? 0.5 : 1.0; color: root.stops[1] }
            GradientStop { position: 1.0; color: root.stops[root.stops.length - 1] }
        }
        RoundedPath { w: root.width; h: root.height; r: root.radius }
    }
}
