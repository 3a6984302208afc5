import QtQuick
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
    FolderAsk {
        id: folderAsk
        objectName: "moveFolderAsk"
        purpose: "move"
        title: L.move.chooseMessage
        acceptLabel: L.move.choosePrompt
        canCreateFolders: true
        onChosen: (folder) => AppModel.requestMoveToFolder(folder)
    }
    Connections {
        target: AppModel
        function onFolderPanelRequested(prompt, message, forMove) {
            if (!forMove)
                return
            folderAsk.acceptLabel = prompt
            folderAsk.title = message
            folderAsk.ask()
        }
    }
}
