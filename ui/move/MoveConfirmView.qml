import QtQuick
import Quorlix

// The modal card that asks before the others leave the folder: how many exact copies and how
// many look-alike shots go, with their sizes. Return moves, Escape or a click beside the card
// cancels. It keeps what it showed while it fades out after the move has begun.
Item {
    id: root
    objectName: "moveConfirm"

    readonly property bool shown: AppModel.hasPendingMove

    // What the card shows, taken from the model while a move is pending.
    property bool toTrash: true
    property url folder
    property real exactCount: 0
    property real exactBytes: 0
    property real nearCount: 0
    property real nearBytes: 0

    function sync() {
        if (!AppModel.hasPendingMove)
            return
        toTrash = AppModel.pendingMoveToTrash
        folder = AppModel.pendingMoveFolder
        // Qt 6.4's qmllint knows no qint64 (qlonglong) property type.
        exactCount = AppModel.exactDuplicateCount // qmllint disable type
        exactBytes = AppModel.exactReclaimableBytes
        nearCount = AppModel.nearDuplicateCount
        nearBytes = AppModel.nearReclaimableBytes
    }
    Connections {
        target: AppModel
        function onPendingMoveChanged() { root.sync() }
        function onResultChanged() { root.sync() }
    }
    Component.onCompleted: sync()

    function cancel() {
        if (AppModel.hasPendingMove)
            AppModel.cancelPendingMove()
    }
    function confirm() {
        if (AppModel.hasPendingMove)
            AppModel.confirmPendingMove()
    }

    visible: opacity > 0.01
    enabled: shown
    opacity: shown ? 1 : 0
    Behavior on opacity { Spring { curve: Theme.quickSpring } }

    Shortcut {
        // Qt 6.4's qmllint cannot resolve the StandardKey enumeration.
        sequences: [ StandardKey.Cancel ] // qmllint disable unqualified
        enabled: root.shown
        onActivated: root.cancel()
    }
    Shortcut {
        sequences: [ "Return", "Enter" ]
        enabled: root.shown
        onActivated: root.confirm()
    }

    // 1. Backdrop: dimmed material; a click on it cancels, and nothing below is reachable.
    MoveBackdrop {
        objectName: "moveBackdrop"
        anchors.fill: parent
        onClicked: root.cancel()
    }

    // 2. The card, on the panel look.
    Item {
        id: card
        objectName: "moveConfirmCard"
        width: Math.min(520, root.width - 32)
        height: content.implicitHeight + 2 * 28
        anchors.centerIn: parent
        scale: root.shown ? 1 : 0.97
        Behavior on scale { Spring { curve: Theme.quickSpring } }

        PanelShadow {
            anchors.fill: parent
            radius: 14
            color: Qt.rgba(0, 0, 0, 0.25)
            blur: 40
            offsetY: 20
        }
        Rectangle {
            anchors.fill: parent
            radius: 14
            color: Theme.bg.sheet
            border.width: 0.5
            border.color: Theme.border.b1
        }
        // Clicks on the card stay on the card.
        MouseArea {
            anchors.fill: parent
            acceptedButtons: Qt.AllButtons
        }

        Column {
            id: content
            anchors { left: parent.left; right: parent.right; top: parent.top; margins: 28 }
            spacing: 16

            // Header: the destination's tile, the question and, for a folder, its path.
            Row {
                spacing: 12
                width: parent.width
                GradientRect {
                    width: 44
                    height: 44
                    radius: 11
                    stops: Theme.softBrandStops
                    anchors.verticalCenter: parent.verticalCenter
                    Symbol {
                        anchors.centerIn: parent
                        name: root.toTrash ? "trash.fill" : "folder.fill"
                        size: 20
                        color: Theme.accent.primary
                    }
                }
                Column {
                    spacing: 3
                    width: parent.width - 44 - 12
                    anchors.verticalCenter: parent.verticalCenter
                    Text {
                        objectName: "moveTitle"
                        width: parent.width
                        text: root.toTrash ? L.move.confirmTitleTrash : L.move.confirmTitleFolder
                        font.pixelSize: 17
                        font.weight: Font.Bold
                        color: Theme.text.primary
                        wrapMode: Text.WordWrap
                    }
                    Text {
                        objectName: "moveFolderPath"
                        visible: !root.toTrash
                        width: parent.width
                        text: ViewLogic.displayPath(root.folder)
                        font.pixelSize: 11
                        color: Theme.text.tertiary
                        elide: Text.ElideMiddle
                        maximumLineCount: 1
                    }
                }
            }

            // What leaves, and the promise that one photo per group stays.
            Rectangle {
                width: parent.width
                height: lines.implicitHeight + 2 * 14
                radius: 10
                color: Theme.bg.surface1
                Column {
                    id: lines
                    anchors { left: parent.left; right: parent.right; top: parent.top; margins: 14 }
                    spacing: 10
                    MoveConfirmLine {
                        objectName: "moveExactLine"
                        visible: root.exactCount > 0
                        width: parent.width
                        symbol: "doc.on.doc.fill"
                        symbolColor: Theme.status.green
                        text: L.move.exactLine(root.exactCount, ViewLogic.byteCount(root.exactBytes))
                    }
                    MoveConfirmLine {
                        objectName: "moveNearLine"
                        visible: root.nearCount > 0
                        width: parent.width
                        symbol: "exclamationmark.triangle.fill"
                        symbolColor: Theme.status.orange
                        text: L.move.nearLine(root.nearCount, ViewLogic.byteCount(root.nearBytes))
                    }
                    MoveConfirmLine {
                        objectName: "moveKeeperLine"
                        width: parent.width
                        symbol: "star.fill"
                        symbolColor: Theme.accent.primary
                        text: L.move.keeperLine
                    }
                }
            }

            // Buttons, along the trailing edge.
            Item {
                width: parent.width
                height: buttons.implicitHeight
                Row {
                    id: buttons
                    anchors.right: parent.right
                    spacing: 10
                    SecondaryButton {
                        objectName: "moveCancel"
                        text: L.move.cancel
                        onClicked: root.cancel()
                    }
                    PrimaryButton {
                        objectName: "moveConfirmButton"
                        symbol: root.toTrash ? "trash" : "arrowshape.turn.up.right"
                        text: L.move.confirm
                        onClicked: root.confirm()
                    }
                }
            }
        }
    }
}
