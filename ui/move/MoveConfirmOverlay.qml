import QtQuick
import QtQuick.Dialogs
import Quorlix

// Everything the results screen needs for moving the others, in one block: the confirmation
// card at its layer and the panel that chooses a destination folder.
Item {
    id: root
    objectName: "moveOverlay"
    anchors.fill: parent
    z: ZLayer.confirmation

    MoveConfirmView {
        anchors.fill: parent
    }

    // Folders only; a new folder may be made in it. The chosen one becomes the pending move.
    FolderDialog {
        id: folderDialog
        objectName: "moveFolderDialog"
        title: L.move.chooseMessage
        acceptLabel: L.move.choosePrompt
        onAccepted: AppModel.requestMoveToFolder(selectedFolder)
    }
    Connections {
        target: AppModel
        function onFolderPanelRequested(prompt, message, forMove) {
            if (!forMove)
                return
            folderDialog.acceptLabel = prompt
            folderDialog.title = message
            folderDialog.open()
        }
    }
}
