import QtQuick
import Quorlix

// The transient notice: its text and, for a move, Undo.
Rectangle {
    id: root
    objectName: "toast"
    implicitWidth: row.implicitWidth + 32
    implicitHeight: 44
    radius: 12
    color: Theme.bg.popover
    border.width: 0.5
    border.color: Theme.border.b2

    SoftShadow {
        anchors.fill: parent
        z: -1
        radius: 12
        color: Theme.shadow
        blur: 16
        offsetY: 6
    }

    Row {
        id: row
        spacing: 14
        anchors.centerIn: parent
        Text {
            // Keeps the last text while the toast leaves.
            property string lastText
            text: AppModel.hasToast ? AppModel.toastText : lastText
            onTextChanged: lastText = text
            font.pixelSize: 13
            font.weight: Font.Medium
            color: Theme.text.primary
            anchors.verticalCenter: parent.verticalCenter
        }
        SecondaryButton {
            objectName: "undoButton"
            visible: AppModel.toastUndoable
            text: L.move.undo
            font.pixelSize: 12
            topPadding: 4
            bottomPadding: 4
            leftPadding: 10
            rightPadding: 10
            anchors.verticalCenter: parent.verticalCenter
            onClicked: AppModel.undoLastMove()
        }
    }
}
