import QtQuick
import QtQuick.Controls.Basic
import Quorlix

// The transient notice: its text and, after a move, Undo (Ctrl+Z and the Edit menu stay
// until the next move or scan).
// While a long move or undo runs, the same place shows how far it has come.
Item {
    id: root
    objectName: "toast"

    readonly property bool busy: AppModel.moveInProgress
    readonly property bool shown: AppModel.hasToast || busy
    readonly property bool undoable: AppModel.hasToast && AppModel.toastUndoable && !busy

    implicitWidth: Math.max(busy ? 300 : 0, row.implicitWidth + 32)
    implicitHeight: row.implicitHeight + 20

    function undo() {
        if (root.undoable)
            AppModel.undoLastMove()
    }

    PanelShadow {
        anchors.fill: parent
        radius: 10
        color: Qt.rgba(0, 0, 0, 0.18)
        blur: 20
        offsetY: 8
    }
    // The ultra-thin material: the popover colour, slightly see-through.
    Rectangle {
        anchors.fill: parent
        radius: 10
        color: Qt.rgba(Theme.bg.popover.r, Theme.bg.popover.g, Theme.bg.popover.b, 0.9)
        border.width: 0.5
        border.color: Theme.border.b1
    }

    Row {
        id: row
        spacing: 14
        anchors.centerIn: parent
        Spinner {
            visible: root.busy
            size: 16
            lineWidth: 2
            anchors.verticalCenter: parent.verticalCenter
        }
        Text {
            id: label
            objectName: "toastText"
            // Keeps the last text while the toast leaves.
            property string lastText
            // Qt 6.4's qmllint knows no qint64 (qlonglong) property type.
            text: root.busy ? ViewLogic.moveProgressText(AppModel.moveProgressIsUndo,
                                                         AppModel.moveProgressCurrent, // qmllint disable type
                                                         AppModel.moveProgressTotal)
                            : (AppModel.hasToast ? AppModel.toastText : lastText)
            onTextChanged: lastText = text
            font.pixelSize: 13
            font.weight: Font.Medium
            color: Theme.text.primary
            anchors.verticalCenter: parent.verticalCenter
        }
        AbstractButton {
            id: undoButton
            objectName: "undoButton"
            visible: root.undoable
            hoverEnabled: true
            padding: 2
            anchors.verticalCenter: parent.verticalCenter
            contentItem: Text {
                text: L.move.undo
                font.pixelSize: 13
                font.weight: Font.DemiBold
                color: Theme.accent.primary
                opacity: undoButton.down ? 0.6 : (undoButton.hovered ? 0.85 : 1)
            }
            onClicked: root.undo()
        }
    }

    // A hairline of progress along the bottom edge during a long move.
    Rectangle {
        objectName: "moveProgressBar"
        visible: root.busy
        anchors { left: parent.left; bottom: parent.bottom; leftMargin: 10; bottomMargin: 4 }
        height: 2
        radius: 1
        color: Theme.accent.primary
        // Qt 6.4's qmllint knows no qint64 (qlonglong) property type.
        width: (parent.width - 20) * ViewLogic.fraction(AppModel.moveProgressCurrent, // qmllint disable type
                                                        AppModel.moveProgressTotal)
    }
}
