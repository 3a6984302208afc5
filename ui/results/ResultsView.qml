import QtQuick
import QtQuick.Controls.Basic
import Quorlix

// The results screen: the summary and the two actions on top; below, the exact and the
// look-alike groups as cards under pinned section headers, or the all-clear with the teaser.
Item {
    id: root
    objectName: "resultsScreen"

    readonly property bool hasGroups: ResultSummary.groupCount > 0
    // While a confirmation or a move is open, only it answers.
    readonly property bool inert: AppModel.hasPendingMove || AppModel.moveInProgress

    // 1. Header bar.
    Rectangle {
        id: header
        objectName: "resultsHeader"
        visible: ResultSummary.hasResult
        anchors { left: parent.left; right: parent.right; top: parent.top }
        height: 52
        color: Theme.bg.surface1
        z: 2
        enabled: !root.inert

        Text {
            objectName: "summaryText"
            anchors { left: parent.left; leftMargin: 24; verticalCenter: parent.verticalCenter }
            width: Math.max(0, actions.x - 24 - 12)
            elide: Text.ElideRight
            text: ResultSummary.text
            font.pixelSize: 13
            font.weight: Font.Medium
            color: Theme.text.secondary
        }

        Row {
            id: actions
            spacing: 12
            anchors { right: parent.right; rightMargin: 24; verticalCenter: parent.verticalCenter }

            ShareActionButton {
                objectName: "shareKeepersButton"
                text: L.results.shareKeepers
                kind: "keepers"
                enabled: root.hasGroups
            }
            PrimaryButton {
                id: moveButton
                objectName: "moveMenuButton"
                symbol: "arrowshape.turn.up.right.fill"
                text: L.move.menu
                // Nothing to move, or a move in slices runs (the model refuses another).
                enabled: root.hasGroups && !AppModel.moveInProgress
                Accessible.name: text
                onClicked: moveMenu.popup(moveButton, 0, moveButton.height + 4)
                Menu {
                    id: moveMenu
                    objectName: "moveMenu"
                    MenuItem {
                        objectName: "moveToTrash"
                        text: L.move.toTrash
                        onTriggered: AppModel.requestMoveToTrash()
                    }
                    MenuItem {
                        objectName: "moveToFolder"
                        text: L.move.toFolder
                        onTriggered: AppModel.chooseMoveFolder()
                    }
                }
            }
        }

        Rectangle {
            anchors { left: parent.left; right: parent.right; bottom: parent.bottom }
            height: 1
            color: Theme.border.b1
        }
    }

    // 2. The groups, exact ones first. Only the cards in view exist, so thousands of groups
    // scroll as lightly as ten.
    ListView {
        id: groups
        objectName: "groupList"
        visible: ResultSummary.hasResult && root.hasGroups
        enabled: !root.inert
        anchors { left: parent.left; right: parent.right; top: header.bottom; bottom: parent.bottom }
        clip: true
        spacing: 16
        topMargin: 24
        bottomMargin: 24
        leftMargin: 24
        rightMargin: 24
        reuseItems: true
        boundsBehavior: Flickable.StopAtBounds
        model: GroupListModel { kind: GroupListModel.All; appModel: AppModel }

        // Qt 6.4 builds section delegates outside this file's context, so the file cannot bind
        // its components (ComponentBehavior: Bound breaks the headers) and qmllint cannot see
        // that the list's id is in reach.
        delegate: GroupCardView {
            width: groups.width - groups.leftMargin - groups.rightMargin // qmllint disable unqualified
        }

        section.property: "kind"
        section.labelPositioning: ViewSection.InlineLabels | ViewSection.CurrentLabelAtStart
        section.delegate: SectionHeader {
            width: groups.width - groups.leftMargin - groups.rightMargin // qmllint disable unqualified
        }

        ScrollBar.vertical: ScrollBar {}
    }

    component SectionHeader: Rectangle {
        id: sectionHeader
        required property string section
        readonly property bool isExact: section === "exact"
        objectName: isExact ? "exactSectionHeader" : "nearSectionHeader"
        height: sectionRow.implicitHeight + 16
        // Opaque as the screen behind it: a pinned header must not show the cards it covers.
        color: Theme.bg.window
        Row {
            id: sectionRow
            spacing: 8
            anchors { left: parent.left; verticalCenter: parent.verticalCenter }
            Symbol {
                name: sectionHeader.isExact ? "doc.on.doc.fill" : "sparkles.rectangle.stack.fill"
                size: 14
                color: Theme.accent.primary
                anchors.verticalCenter: parent.verticalCenter
            }
            Text {
                objectName: "sectionTitle"
                text: (sectionHeader.isExact ? L.results.exactSection : L.results.nearSection).toUpperCase()
                font.pixelSize: 11
                font.weight: Font.Bold
                font.letterSpacing: 0.8
                color: Theme.text.secondary
                anchors.verticalCenter: parent.verticalCenter
            }
            Rectangle {
                width: countText.implicitWidth + 14
                height: countText.implicitHeight + 4
                radius: height / 2
                color: Theme.accent.soft
                anchors.verticalCenter: parent.verticalCenter
                Text {
                    id: countText
                    objectName: "sectionCount"
                    anchors.centerIn: parent
                    text: sectionHeader.isExact ? ResultSummary.exactGroupCount : ResultSummary.nearGroupCount
                    font.pixelSize: 11
                    font.weight: Font.DemiBold
                    color: Theme.text.primary
                }
            }
        }
        Text {
            anchors { right: parent.right; verticalCenter: parent.verticalCenter }
            text: L.results.keepHint
            font.pixelSize: 11
            color: Theme.text.tertiary
        }
    }

    // 3. Nothing (left) to sort: the all-clear and what could come next.
    Flickable {
        id: allClear
        objectName: "allClear"
        visible: ResultSummary.hasResult && !root.hasGroups
        enabled: !root.inert
        anchors { left: parent.left; right: parent.right; top: header.bottom; bottom: parent.bottom }
        contentWidth: width
        contentHeight: Math.max(height, clearColumn.implicitHeight + 48)
        boundsBehavior: Flickable.StopAtBounds
        interactive: contentHeight > height

        Column {
            id: clearColumn
            spacing: 14
            width: Math.min(allClear.width - 48, 520)
            anchors.centerIn: parent

            // An empty folder was not found clean: it gets a plain folder, not the success check.
            Symbol {
                objectName: "allClearSymbol"
                name: ResultSummary.noPhotos ? "folder" : "checkmark.circle.fill"
                size: 48
                color: ResultSummary.noPhotos ? Theme.text.tertiary : Theme.status.green
                anchors.horizontalCenter: parent.horizontalCenter
            }
            Text {
                objectName: "allClearTitle"
                width: parent.width
                horizontalAlignment: Text.AlignHCenter
                wrapMode: Text.WordWrap
                text: ResultSummary.noPhotos ? L.window.noPhotos
                      : (AppModel.canUndo ? L.results.allDone : L.results.nothingFound)
                font.pixelSize: 18
                font.weight: Font.DemiBold
                color: Theme.text.primary
            }
            Text {
                objectName: "noPhotosBody"
                visible: ResultSummary.noPhotos
                width: parent.width
                horizontalAlignment: Text.AlignHCenter
                wrapMode: Text.WordWrap
                text: L.window.noPhotosBody
                font.pixelSize: 13
                color: Theme.text.secondary
            }
            Text {
                width: parent.width
                horizontalAlignment: Text.AlignHCenter
                wrapMode: Text.WordWrap
                text: L.teaser.lead
                font.pixelSize: 13
                color: Theme.text.tertiary
            }
            // The teaser sits a little apart from the lines above.
            Item {
                width: parent.width
                height: teaser.height + 10
                VeltranoTeaserView {
                    id: teaser
                    y: 10
                    width: parent.width
                }
            }
            VeltranoRequirementsView {
                alignment: Qt.AlignHCenter
                width: parent.width
            }
        }
    }

    // Move confirmation overlay (z 3000), with the destination folder panel.
    MoveConfirmOverlay {}
}
