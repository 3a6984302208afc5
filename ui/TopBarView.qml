import QtQuick
import QtQuick.Controls.Basic
import Quorlix

// Brand, the folder being scanned, and the two buttons, over a translucent bar.
Rectangle {
    id: root
    color: Theme.bg.toolbar

    Row {
        id: brand
        objectName: "brand"
        spacing: 8
        anchors { left: parent.left; leftMargin: 16; verticalCenter: parent.verticalCenter }
        AppLogo {
            size: 26
            anchors.verticalCenter: parent.verticalCenter
        }
        Column {
            anchors.verticalCenter: parent.verticalCenter
            Text {
                text: L.app.name
                font.pixelSize: 13
                font.weight: Font.DemiBold
                color: Theme.text.primary
            }
            Text {
                text: L.app.byVeltrano
                font.pixelSize: 10
                font.weight: Font.Medium
                color: Theme.text.tertiary
            }
        }
    }

    Row {
        spacing: 12
        anchors { right: parent.right; rightMargin: 16; verticalCenter: parent.verticalCenter }

        Rectangle {
            id: chip
            objectName: "folderChip"
            visible: AppModel.folderName !== ""
            anchors.verticalCenter: parent.verticalCenter
            width: Math.min(chipText.implicitWidth + 12 + 6 + 20,
                            Math.max(80, root.width - brand.width - buttons.width - 80))
            height: chipText.implicitHeight + 12
            radius: 7
            color: Theme.accent.soft
            border.width: 0.5
            border.color: Qt.rgba(Theme.border.accent.r, Theme.border.accent.g, Theme.border.accent.b, 0.5)
            clip: true
            Row {
                id: chipRow
                spacing: 6
                x: 10
                anchors.verticalCenter: parent.verticalCenter
                Symbol {
                    name: "folder.fill"
                    size: 12
                    color: Theme.accent.primary
                    anchors.verticalCenter: parent.verticalCenter
                }
                Text {
                    id: chipText
                    text: AppModel.folderName
                    width: chip.width - 38
                    elide: Text.ElideMiddle
                    font.pixelSize: 12
                    font.weight: Font.Medium
                    color: Theme.text.primary
                }
            }
            HoverHandler { id: chipHover }
            ToolTip.visible: chipHover.hovered
            ToolTip.delay: 500
            ToolTip.text: ViewLogic.displayPath(AppModel.folder)
        }

        Row {
            id: buttons
            spacing: 12
            anchors.verticalCenter: parent.verticalCenter
            SecondaryButton {
                objectName: "newScanButton"
                visible: AppModel.screen === AppModel.Screen.results
                symbol: "folder.badge.plus"
                text: L.results.newScan
                onClicked: AppModel.newScan()
            }
            PrimaryButton {
                objectName: "getVeltranoButton"
                symbol: "sparkles"
                text: L.topbar.getVeltrano
                onClicked: AppModel.openAppStore("topbar")
            }
        }
    }

    // Hairline along the bottom edge.
    Rectangle {
        anchors { left: parent.left; right: parent.right; bottom: parent.bottom }
        height: 1
        color: Theme.border.b1
    }
}
