import QtQuick
import QtQuick.Controls.Basic
import Quorlix

// The primary look: white label on the brand gradient, a violet glow underneath.
Button {
    id: control
    property string symbol
    property real glow: 0
    font.pixelSize: 14
    font.weight: Font.DemiBold
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
        spacing: control.symbol ? (control.glow > 0 ? 8 : 6) : 0
        Symbol {
            visible: control.symbol !== ""
            name: control.symbol
            size: control.font.pixelSize + 1
            color: "white"
            anchors.verticalCenter: parent.verticalCenter
        }
        Text {
            text: control.text
            font: control.font
            color: "white"
            anchors.verticalCenter: parent.verticalCenter
        }
    }

    background: Item {
        implicitWidth: 40
        implicitHeight: 34
        SoftShadow {
            anchors.fill: parent
            radius: 7
            color: Theme.hex("#7b6cf6")
            blur: 8
            offsetY: 4
            strength: 0.35 * 2
        }
        SoftShadow {
            visible: control.glow > 0
            anchors.fill: parent
            radius: 7
            color: Theme.accent.primary
            blur: 12
            offsetY: 4
            strength: control.glow * 2
        }
        GradientRect {
            anchors.fill: parent
            radius: 7
        }
        Rectangle {
            anchors.fill: parent
            radius: 7
            color: control.down ? Qt.rgba(0, 0, 0, 0.14) : (control.hovered ? Qt.rgba(1, 1, 1, 0.10) : "transparent")
        }
    }
}
