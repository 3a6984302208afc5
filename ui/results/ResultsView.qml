import QtQuick
import Quorlix

// The results screen; its groups and cards arrive with the results work. Until then it
// names the screen so a finished scan never looks like a blank window.
Rectangle {
    objectName: "resultsScreen"
    color: Theme.bg.surface1
    Text {
        anchors.centerIn: parent
        text: L.results.title
        font.pixelSize: 22
        font.weight: Font.Bold
        color: Theme.text.primary
    }

    // Move confirmation overlay (z 3000)
    MoveConfirmOverlay {}
}
