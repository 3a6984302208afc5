import QtQuick
import QtQuick.Window
import Quorlix

// One way to ask for a folder: the desktop's chooser when it has one, the window's own dialog
// otherwise. Both start in the last folder chosen and answer through `chosen`.
Item {
    id: root
    property string title
    property string acceptLabel
    property string message
    property bool canCreateFolders: false
    // Tells this asker's portal answers from another's.
    property string purpose
    signal chosen(url folder)
    // Where the dialog is laid out: the whole window, not this empty item.
    readonly property Item windowContent: Window.contentItem

    function ask() {
        const start = FolderChoice.startFolder()
        if (!FolderChoice.openPortal(title, acceptLabel, start, purpose, Window.window))
            chooser.openAt(start)
    }

    FolderChooser {
        id: chooser
        objectName: "folderChooser"
        parent: root.windowContent
        title: root.title
        acceptLabel: root.acceptLabel
        message: root.message
        canCreateFolders: root.canCreateFolders
        onChosen: (folder) => root.chosen(folder)
    }
    Connections {
        target: FolderChoice
        function onPortalChosen(folder, purpose) {
            if (purpose !== root.purpose)
                return
            FolderChoice.remember(folder)
            root.chosen(folder)
        }
    }
}
