import QtQuick
import Quorlix

// The dimmed material behind the move confirmation: it silences what it covers, and a click on
// it cancels.
Rectangle {
    id: root
    signal clicked()
    color: Qt.rgba(Theme.bg.window.r, Theme.bg.window.g, Theme.bg.window.b, 0.35)
    Rectangle {
        anchors.fill: parent
        color: Qt.rgba(0, 0, 0, 0.45)
    }
    MouseArea {
        anchors.fill: parent
        hoverEnabled: true
        acceptedButtons: Qt.AllButtons
        onClicked: root.clicked()
        onWheel: (wheel) => { wheel.accepted = true }
    }
}
