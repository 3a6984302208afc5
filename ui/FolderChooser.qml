pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Qt.labs.folderlistmodel
import Quorlix

// The window's own folder dialog, for desktops without a chooser of their own. What it shows is
// what it answers: accept always gives `folder`, the folder named in the path field; the list
// only navigates.
Dialog {
    id: root
    objectName: "folderChooser"
    property url folder
    property string acceptLabel
    property string message
    property bool canCreateFolders: false
    property string problem
    signal chosen(url folder)

    modal: true
    // The asker gives the window's content as the parent: laid out against the whole window.
    anchors.centerIn: parent
    width: Math.min(560, (parent ? parent.width : 560) - 48)
    height: Math.min(480, (parent ? parent.height : 480) - 48)
    closePolicy: Popup.CloseOnEscape
    padding: 16

    function openAt(start) {
        folder = start
        pathField.text = ViewLogic.displayPath(start)
        problem = ""
        newName.visible = false
        open()
        pathField.forceActiveFocus()
    }
    function go(url) {
        if (url.toString() === "")
            return false
        folder = url
        pathField.text = ViewLogic.displayPath(url)
        problem = ""
        return true
    }
    // A typed but not yet entered path counts: the field is what the dialog shows.
    function acceptShown() {
        const shown = FolderChoice.resolve(pathField.text, root.folder)
        if (String(shown) === "") {
            problem = L.window.noSuchFolder
            return
        }
        folder = shown
        FolderChoice.remember(shown)
        close()
        chosen(shown)
    }

    background: Rectangle {
        radius: 12
        color: Theme.bg.sheet
        border.width: 0.5
        border.color: Theme.border.b2
    }
    header: Text {
        text: root.title
        padding: 16
        bottomPadding: 0
        font.pixelSize: 15
        font.weight: Font.DemiBold
        color: Theme.text.primary
        elide: Text.ElideRight
    }

    // The dialog's functions reach its path field and list by id, so the content is built with
    // the dialog rather than deferred to its first opening: intended.
    contentItem: ColumnLayout { // qmllint disable deferred-property-id
        spacing: 8
        Text {
            Layout.fillWidth: true
            visible: root.message !== ""
            text: root.message
            wrapMode: Text.WordWrap
            font.pixelSize: 12
            color: Theme.text.secondary
        }
        RowLayout {
            Layout.fillWidth: true
            spacing: 6
            ToolButton {
                id: upButton
                objectName: "folderUp"
                text: "↑"
                Accessible.name: L.window.parentFolder
                ToolTip.visible: hovered
                ToolTip.text: L.window.parentFolder
                onClicked: root.go(FolderChoice.parentFolder(root.folder))
                FocusRing { shown: upButton.visualFocus }
            }
            TextField {
                id: pathField
                objectName: "folderPath"
                Layout.fillWidth: true
                selectByMouse: true
                color: Theme.text.primary
                placeholderText: L.window.typePath
                placeholderTextColor: Theme.text.tertiary
                Accessible.name: L.window.folderPath
                background: Rectangle {
                    radius: 6
                    color: Theme.bg.surface1
                    border.width: pathField.activeFocus ? 2 : 0.5
                    border.color: pathField.activeFocus ? Theme.border.accent : Theme.border.b2
                }
                // Return on a typed path goes there; on the path shown it accepts.
                onAccepted: {
                    const typed = FolderChoice.resolve(text, root.folder)
                    if (typed.toString() === "")
                        root.problem = L.window.noSuchFolder
                    else if (typed.toString() !== root.folder.toString())
                        root.go(typed)
                    else
                        root.acceptShown()
                }
            }
            ToolButton {
                id: newFolderButton
                objectName: "newFolderButton"
                visible: root.canCreateFolders
                text: L.window.newFolder
                Accessible.name: L.window.newFolder
                onClicked: { newName.visible = true; newNameField.text = ""; newNameField.forceActiveFocus() }
                FocusRing { shown: newFolderButton.visualFocus }
            }
        }
        RowLayout {
            id: newName
            objectName: "newFolderRow"
            visible: false
            Layout.fillWidth: true
            TextField {
                id: newNameField
                objectName: "newFolderName"
                Layout.fillWidth: true
                color: Theme.text.primary
                placeholderText: L.window.newFolderName
                placeholderTextColor: Theme.text.tertiary
                Accessible.name: L.window.newFolderName
                background: Rectangle {
                    radius: 6
                    color: Theme.bg.surface1
                    border.width: newNameField.activeFocus ? 2 : 0.5
                    border.color: newNameField.activeFocus ? Theme.border.accent : Theme.border.b2
                }
                onAccepted: createButton.clicked()
            }
            SecondaryButton {
                id: createButton
                objectName: "createFolderButton"
                text: L.window.create
                onClicked: {
                    const made = FolderChoice.createFolder(root.folder, newNameField.text)
                    if (made.toString() === "") {
                        root.problem = L.window.folderNotMade
                        return
                    }
                    newName.visible = false
                    root.go(made)
                }
            }
        }
        ListView {
            id: list
            objectName: "folderList"
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            activeFocusOnTab: true
            currentIndex: -1
            Accessible.role: Accessible.List
            Accessible.name: L.window.subfolders
            model: FolderListModel {
                id: folders
                folder: root.folder
                showFiles: false
                showDirsFirst: true
                showDotAndDotDot: false
                showHidden: false
                sortCaseSensitive: false
            }
            ScrollBar.vertical: ScrollBar {}
            // Entering a folder is navigation only; nothing is chosen until accept.
            delegate: ItemDelegate {
                id: row
                required property string fileName
                required property url fileUrl
                required property int index
                width: ListView.view.width
                text: fileName
                highlighted: ListView.isCurrentItem
                Accessible.name: fileName
                contentItem: Text {
                    text: "▸  " + row.fileName
                    color: Theme.text.primary
                    font.pixelSize: 13
                    elide: Text.ElideRight
                    verticalAlignment: Text.AlignVCenter
                }
                background: Rectangle {
                    color: row.highlighted ? Theme.accent.soft : (row.hovered ? Theme.bg.surface2 : "transparent")
                    radius: 5
                }
                onClicked: list.currentIndex = row.index
                onDoubleClicked: root.go(row.fileUrl)
                Keys.onReturnPressed: root.go(row.fileUrl)
            }
            Keys.onReturnPressed: {
                if (currentIndex >= 0)
                    root.go(folders.get(currentIndex, "fileUrl"))
            }
            Text {
                anchors.centerIn: parent
                visible: folders.status === FolderListModel.Ready && folders.count === 0
                text: L.window.noSubfolders
                color: Theme.text.tertiary
                font.pixelSize: 12
            }
        }
        Text {
            objectName: "folderProblem"
            Layout.fillWidth: true
            visible: root.problem !== ""
            text: root.problem
            wrapMode: Text.WordWrap
            font.pixelSize: 12
            color: Theme.status.red
        }
    }

    footer: Item {
        implicitHeight: 56
        Row {
            spacing: 10
            anchors { right: parent.right; rightMargin: 16; verticalCenter: parent.verticalCenter }
            SecondaryButton {
                objectName: "folderCancel"
                text: L.move.cancel
                onClicked: root.close()
            }
            PrimaryButton {
                objectName: "folderAccept"
                text: root.acceptLabel
                onClicked: root.acceptShown()
            }
        }
    }
}
