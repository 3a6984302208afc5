import QtQuick
import QtQuick.Controls.Basic
import Quorlix

// The secondary look: primary text on a quiet surface with a hairline edge.
Button {
    id: control
    property string symbol
    font.pixelSize: 14
    font.weight: Font.Medium
    leftPadding: 16
    rightPadding: 16
    topPadding: 8
    bottomPadding: 8
    hoverEnabled: true
    opacity: enabled ? 1 : 0.5
    Accessible.name: text

    FocusRing {
        shown: control.visualFocus
    }

    contentItem: Row {
        spacing: control.symbol ? 6 : 0
        Symbol {
            visible: control.symbol !== ""
            name: control.symbol
            size: control.font.pixelSize + 1
            color: Theme.text.primary
            anchors.verticalCenter: parent.verticalCenter
        }
        Text {
            text: control.text
            font: control.font
            color: Theme.text.primary
            anchors.verticalCenter: parent.verticalCenter
        }
    }

    background: Rectangle {
        implicitWidth: 40
        implicitHeight: 34
        radius: 7
        color: control.down ? Theme.bg.surface3 : Theme.bg.surface2
        border.width: 0.5
        border.color: Theme.border.b2
        Rectangle {
            anchors.fill: parent
            radius: 7
            color: control.hovered && !control.down ? (Theme.dark ? Qt.rgba(1, 1, 1, 0.04) : Qt.rgba(0, 0, 0, 0.03)) : "transparent"
        }
    }
}
