pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls.Basic
import Quorlix

// One group of the result: how many photos and what its others weigh, the way back to the
// automatic pick (or the lock of a look-alike group), and a row of its photos.
Rectangle {
    id: root

    // The roles of a GroupListModel row.
    required property string groupId
    required property string kind
    required property var members
    required property int memberCount
    required property string keeperId
    required property bool keeperChanged
    required property real reclaimableBytes
    required property bool isBestShotUnlocked
    required property int index

    // Scrolls the list to this card when one of its cells takes the keyboard focus: Tab may
    // land on a card that is made but out of view.
    function reveal() {
        if (root.ListView.view)
            root.ListView.view.positionViewAtIndex(root.index, ListView.Contain)
    }

    readonly property bool isExact: kind === "exact"
    readonly property string keeperLabel: isBestShotUnlocked ? L.results.bestShot : L.results.keep
    // What the cells' rounded corners are painted with: this card over the window.
    readonly property color cellBackdrop: Qt.tint(Theme.bg.window, Theme.bg.surface1)

    implicitHeight: column.implicitHeight + 40
    radius: 14
    color: Theme.bg.surface1
    border.width: 0.5
    border.color: Theme.border.b1

    Column {
        id: column
        spacing: 12
        anchors { left: parent.left; right: parent.right; top: parent.top; margins: 20 }

        // 1. Card header.
        Item {
            width: parent.width
            height: Math.max(headerText.implicitHeight, resetButton.visible ? resetButton.height : 0,
                             lockBadge.visible ? lockBadge.height : 0)
            Row {
                id: headerText
                spacing: 8
                anchors.verticalCenter: parent.verticalCenter
                Text {
                    objectName: "memberCount"
                    text: L.results.members(root.memberCount)
                    font.pixelSize: 12
                    font.weight: Font.DemiBold
                    color: Theme.text.primary
                }
                Text {
                    objectName: "groupBytes"
                    visible: root.isExact
                    text: "· " + ResultSummary.formatBytes(root.reclaimableBytes)
                    font.pixelSize: 12
                    color: Theme.text.tertiary
                }
            }

            // Back to the automatic pick once the keeper was changed by hand.
            AbstractButton {
                id: resetButton
                objectName: "resetKeeperButton"
                visible: root.keeperChanged
                anchors { right: parent.right; verticalCenter: parent.verticalCenter }
                hoverEnabled: true
                padding: 2
                Accessible.role: Accessible.Button
                Accessible.name: L.results.resetAuto
                opacity: down ? 0.6 : (hovered ? 0.8 : 1)
                contentItem: Row {
                    spacing: 5
                    Symbol {
                        name: "arrow.uturn.backward"
                        size: 11
                        color: Theme.text.secondary
                        anchors.verticalCenter: parent.verticalCenter
                    }
                    Text {
                        text: L.results.resetAuto
                        font.pixelSize: 11
                        font.weight: Font.Medium
                        color: Theme.text.secondary
                        anchors.verticalCenter: parent.verticalCenter
                    }
                }
                HoverHandler { cursorShape: Qt.PointingHandCursor }
                FocusRing { shown: resetButton.visualFocus; radiusOffset: 4 }
                onClicked: AppModel.resetKeeper(root.groupId)
            }

            // A locked look-alike group points to the product that picks its best shot.
            AbstractButton {
                id: lockBadge
                objectName: "lockBadge"
                visible: !root.keeperChanged && !root.isExact && !root.isBestShotUnlocked
                anchors { right: parent.right; verticalCenter: parent.verticalCenter }
                hoverEnabled: true
                leftPadding: 9
                rightPadding: 9
                topPadding: 4
                bottomPadding: 4
                Accessible.role: Accessible.Button
                Accessible.name: L.results.locked
                Accessible.description: L.results.lockedHint
                opacity: down ? 0.7 : 1
                background: Rectangle {
                    radius: height / 2
                    color: Theme.accent.soft
                }
                contentItem: Row {
                    spacing: 5
                    Symbol {
                        name: "lock.fill"
                        size: 11
                        color: Theme.accent.primary
                        anchors.verticalCenter: parent.verticalCenter
                    }
                    Text {
                        text: L.results.locked
                        font.pixelSize: 11
                        font.weight: Font.DemiBold
                        color: Theme.accent.primary
                        anchors.verticalCenter: parent.verticalCenter
                    }
                }
                HoverHandler { cursorShape: Qt.PointingHandCursor }
                FocusRing { shown: lockBadge.visualFocus; radiusOffset: lockBadge.height / 2 }
                onClicked: AppModel.openAppStore("locked_group")
                ToolTip.visible: hovered || visualFocus
                ToolTip.delay: 500
                ToolTip.text: L.results.lockedHint
            }
        }

        // 2. The photos, scrolling sideways when they do not fit.
        ListView {
            id: cells
            objectName: "cells"
            width: parent.width
            height: 154
            orientation: ListView.Horizontal
            spacing: 10
            leftMargin: 2
            rightMargin: 2
            topMargin: 2
            clip: true
            boundsBehavior: Flickable.StopAtBounds
            // Only a row that overflows takes the wheel; otherwise the page scrolls.
            interactive: contentWidth > width + 1
            // By position, so that a keeper change (a new members list with the same photos)
            // updates the cells in place instead of making them, and their pictures, anew.
            model: root.memberCount
            delegate: ThumbCell {
                required property int index
                record: root.members[index] || ({})
                isKeeper: record.id === root.keeperId
                keeperLabel: root.keeperLabel
                backdrop: root.cellBackdrop
                onActiveFocusChanged: if (activeFocus) {
                    cells.positionViewAtIndex(index, ListView.Contain)
                    root.reveal()
                }
                onKeepRequested: AppModel.setKeeper(root.groupId, record.id)
                onPreviewRequested: AppModel.openQuickLook(record.id)
                onMenuRequested: (x, y) => root.openMenu(this, record.id, x, y)
                onStepRequested: (delta) => {
                    const next = index + delta
                    if (next < 0 || next >= root.memberCount)
                        return
                    cells.positionViewAtIndex(next, ListView.Contain)
                    const cell = cells.itemAtIndex(next)
                    if (cell)
                        cell.forceActiveFocus(Qt.TabFocusReason)
                }
                // Up and down: the nearest cell of the card before or after, through the
                // focus chain.
                onRowRequested: (delta) => {
                    let item = this
                    for (let i = 0; i < 400; ++i) {
                        item = item.nextItemInFocusChain(delta > 0)
                        if (!item || item === this)
                            return
                        if (item.objectName === "thumbCell" && item.parent !== this.parent) {
                            item.forceActiveFocus(Qt.TabFocusReason)
                            return
                        }
                    }
                }
            }
            ScrollBar.horizontal: ScrollBar {
                policy: cells.interactive ? ScrollBar.AsNeeded : ScrollBar.AlwaysOff
            }
        }
    }

    // One menu at a time, made when asked for, so that thousands of cells carry none.
    property Menu openedMenu: null
    function openMenu(cell, photoId, x, y) {
        openedMenu = menuComponent.createObject(cell, { photoId: photoId })
        openedMenu.popup(cell, x, y)
    }
    Component {
        id: menuComponent
        Menu {
            id: menu
            objectName: "cellMenu"
            property string photoId
            onClosed: destroy()
            MenuItem {
                objectName: "menuKeep"
                text: L.results.keep
                onTriggered: AppModel.setKeeper(root.groupId, menu.photoId)
            }
            MenuItem {
                objectName: "menuReveal"
                text: L.results.revealInFileManager
                onTriggered: AppModel.revealPhoto(menu.photoId)
            }
        }
    }
}
