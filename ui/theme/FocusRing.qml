import QtQuick
import Quorlix

// The keyboard focus outline: drawn around its parent while `shown`, in the accent colour of
// the current appearance.
Rectangle {
    property bool shown: false
    property real radiusOffset: 7
    anchors.fill: parent
    anchors.margins: -3
    radius: radiusOffset + 3
    color: "transparent"
    border.width: 2
    border.color: Theme.border.accent
    visible: shown
}
