import QtQuick
import Quorlix

// One line of the move confirmation: a small symbol beside a wrapped sentence, top-aligned.
Row {
    id: root
    property string symbol
    property color symbolColor
    property string text
    spacing: 10

    Item {
        width: 16
        height: label.font.pixelSize + 1
        Symbol {
            y: 1
            anchors.horizontalCenter: parent.horizontalCenter
            name: root.symbol
            size: 13
            color: root.symbolColor
        }
    }
    Text {
        id: label
        width: root.width - 16 - root.spacing
        text: root.text
        font.pixelSize: 13
        color: Theme.text.secondary
        wrapMode: Text.WordWrap
        lineHeight: 1.1
    }
}
