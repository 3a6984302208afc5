import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Dialogs
// FolderDialog's own view needs this module, and nothing else pulls it in: importing it here
// makes a missing package fail the start instead of the first folder choice.
import Qt.labs.folderlistmodel
import Quorlix

ApplicationWindow {
    id: window
    width: 980
    height: 700
    minimumWidth: 760
    minimumHeight: 560
    visible: true
    title: ViewLogic.windowTitle(L.app.name, AppModel.folderName)
    color: Theme.bg.window

    // The stock controls (menus, tooltips, dialogs) follow the theme's appearance too.
    palette.window: Theme.bg.sheet
    palette.windowText: Theme.text.primary
    palette.base: Theme.bg.popover
    palette.text: Theme.text.primary
    palette.button: Theme.bg.surface2
    palette.buttonText: Theme.text.primary
    palette.highlight: Theme.accent.primary
    palette.highlightedText: "white"
    palette.light: Theme.bg.surface2
    palette.mid: Theme.border.b3
    palette.dark: Theme.text.secondary
    palette.midlight: Theme.bg.surface3
    palette.shadow: Theme.shadow
    palette.toolTipBase: Theme.bg.popover
    palette.toolTipText: Theme.text.primary

    menuBar: MenuBar {
        background: Rectangle {
            implicitHeight: 28
            color: Theme.bg.window
            Rectangle {
                anchors { left: parent.left; right: parent.right; bottom: parent.bottom }
                height: 1
                color: Theme.border.b1
            }
        }
        Menu {
            title: L.app.name
            MenuItem {
                text: L.topbar.getVeltrano
                onTriggered: AppModel.openAppStore("menu")
            }
        }
    }

    MainView {
        anchors.fill: parent
    }

    Shortcut {
        sequences: [ StandardKey.Quit ]
        onActivated: window.close()
    }
}
