pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls.Basic
// The window's own folder dialog lists folders with this module: importing it here makes a
// missing package fail the start instead of the first folder choice.
import Qt.labs.folderlistmodel // qmllint disable unused-imports
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
    palette.placeholderText: Theme.text.tertiary

    // A confirmation or a running move keeps everything else out of reach.
    readonly property bool busy: AppModel.hasPendingMove || AppModel.moveInProgress

    menuBar: MenuBar {
        objectName: "menuBar"
        enabled: !window.busy
        // Reachable with Tab as well as the pointer, and named for screen readers.
        delegate: MenuBarItem {
            id: barItem
            focusPolicy: Qt.TabFocus
            Accessible.name: barItem.text
        }
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
            title: L.window.menuFile
            MenuItem {
                objectName: "chooseFolderMenuItem"
                action: Action {
                    text: L.empty.chooseFolder
                    // Qt 6.4's qmllint cannot resolve the StandardKey enumeration.
                    shortcut: StandardKey.Open // qmllint disable unqualified
                    enabled: !window.busy
                    onTriggered: AppModel.chooseFolder()
                }
                Accessible.name: L.empty.chooseFolder
            }
            MenuItem {
                text: L.window.preferences
                Accessible.name: L.window.preferences
                onTriggered: preferences.open()
            }
            MenuSeparator {}
            MenuItem {
                action: Action {
                    text: L.window.quit
                    // Qt 6.4's qmllint cannot resolve the StandardKey enumeration.
                    shortcut: StandardKey.Quit // qmllint disable unqualified
                    onTriggered: window.close()
                }
                Accessible.name: L.window.quit
            }
        }
        Menu {
            title: L.window.menuEdit
            MenuItem {
                objectName: "undoMenuItem"
                // The last move stays undoable until the next move or scan.
                action: Action {
                    text: L.window.undoMove
                    // Qt 6.4's qmllint cannot resolve the StandardKey enumeration.
                    shortcut: StandardKey.Undo // qmllint disable unqualified
                    enabled: AppModel.canUndo && !window.busy
                    onTriggered: AppModel.undoLastMove()
                }
                Accessible.name: L.window.undoMove
            }
        }
        Menu {
            title: L.window.menuView
            Menu {
                title: L.window.appearance
                Repeater {
                    model: [ ["system", L.window.followSystem], ["light", L.window.light], ["dark", L.window.dark] ]
                    MenuItem {
                        required property var modelData
                        text: modelData[1]
                        checkable: true
                        checked: Preferences.theme === modelData[0]
                        Accessible.name: modelData[1]
                        onTriggered: Preferences.theme = modelData[0]
                    }
                }
            }
            Menu {
                title: L.window.language
                Repeater {
                    model: [ ["system", L.window.followSystem], ["en", "English"], ["it", "Italiano"], ["es", "Español"] ]
                    MenuItem {
                        required property var modelData
                        text: modelData[1]
                        checkable: true
                        checked: Preferences.language === modelData[0]
                        Accessible.name: modelData[1]
                        onTriggered: {
                            Preferences.language = modelData[0]
                            preferences.open()
                        }
                    }
                }
            }
        }
        Menu {
            title: L.window.menuHelp
            MenuItem {
                text: L.window.about
                Accessible.name: L.window.about
                onTriggered: about.open()
            }
            MenuItem {
                text: L.topbar.getVeltrano
                Accessible.name: L.topbar.getVeltrano
                onTriggered: AppModel.openAppStore("menu")
            }
        }
    }

    MainView {
        anchors.fill: parent
    }

    PreferencesDialog {
        id: preferences
    }

    Dialog {
        id: about
        objectName: "aboutDialog"
        anchors.centerIn: parent
        modal: true
        width: Math.min(420, window.width - 48)
        title: L.window.about
        closePolicy: Popup.CloseOnEscape
        background: Rectangle {
            radius: 12
            color: Theme.bg.sheet
            border.width: 0.5
            border.color: Theme.border.b2
        }
        header: Row {
            padding: 20
            bottomPadding: 4
            spacing: 12
            AppLogo { size: 40 }
            Text {
                text: L.app.name
                anchors.verticalCenter: parent.verticalCenter
                font.pixelSize: 17
                font.weight: Font.DemiBold
                color: Theme.text.primary
            }
        }
        contentItem: Text {
            objectName: "aboutText"
            text: L.window.aboutBody(Preferences.version, ViewLogic.unbroken(Preferences.licence))
            wrapMode: Text.WordWrap
            font.pixelSize: 13
            color: Theme.text.secondary
        }
        footer: Item {
            implicitHeight: aboutClose.implicitHeight + 32
            SecondaryButton {
                id: aboutClose
                text: L.window.close
                anchors { right: parent.right; rightMargin: 20; verticalCenter: parent.verticalCenter }
                onClicked: about.close()
            }
        }
        onOpened: aboutClose.forceActiveFocus()
    }
}
