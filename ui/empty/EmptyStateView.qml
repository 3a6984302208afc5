import QtQuick
import Quorlix

// The start screen: drop a folder anywhere on it, or choose one.
Rectangle {
    id: root
    objectName: "emptyState"
    color: Theme.bg.surface1

    // View-local: the logo breathes a few times once shown; `targeted` follows a hovering drag.
    property bool pulse: false
    property bool targeted: drop.containsDrag
    Component.onCompleted: pulse = true

    Column {
        spacing: 20
        anchors.centerIn: parent
        width: Math.min(parent.width - 48, 460)

        Item {
            width: 120
            height: 120
            anchors.horizontalCenter: parent.horizontalCenter
            // A few breaths, then still: an idle window costs nothing.
            SequentialAnimation on scale {
                running: root.pulse && Application.state === Qt.ApplicationActive
                loops: 3
                NumberAnimation { from: 1.0; to: 1.04; duration: 2500; easing.type: Easing.InOutQuad }
                NumberAnimation { from: 1.04; to: 1.0; duration: 2500; easing.type: Easing.InOutQuad }
            }
            SoftShadow {
                anchors.fill: parent
                anchors.margins: 6
                radius: 26
                color: Theme.shadow
                blur: 20
                offsetY: 8
                strength: 0.2 / 0.15
            }
            AppLogo {
                objectName: "emptyLogo"
                size: 120
            }
        }

        Column {
            spacing: 8
            width: parent.width
            Text {
                objectName: "emptyTitle"
                width: parent.width
                horizontalAlignment: Text.AlignHCenter
                text: L.empty.title
                font.pixelSize: 22
                font.weight: Font.Bold
                color: Theme.text.primary
            }
            Text {
                width: Math.min(parent.width, 380)
                anchors.horizontalCenter: parent.horizontalCenter
                horizontalAlignment: Text.AlignHCenter
                wrapMode: Text.WordWrap
                text: L.empty.body
                font.pixelSize: 14
                color: Theme.text.secondary
                lineHeight: 1.15
            }
        }

        PrimaryButton {
            objectName: "chooseFolderButton"
            anchors.horizontalCenter: parent.horizontalCenter
            symbol: "folder.badge.plus"
            text: L.empty.chooseFolder
            glow: 0.3
            onClicked: AppModel.chooseFolder()
        }

        Row {
            spacing: 6
            anchors.horizontalCenter: parent.horizontalCenter
            topPadding: 8
            Symbol {
                name: "lock.shield.fill"
                size: 13
                color: Theme.status.green
                anchors.verticalCenter: parent.verticalCenter
            }
            Text {
                text: L.empty.privacyNote
                font.pixelSize: 12
                font.weight: Font.Medium
                color: Theme.text.tertiary
                anchors.verticalCenter: parent.verticalCenter
            }
        }
    }

    // The panel the model asks for; a chosen folder starts the scan.
    FolderAsk {
        id: folderAsk
        purpose: "scan"
        title: L.empty.chooseFolder
        acceptLabel: L.empty.chooseFolder
        onChosen: (folder) => AppModel.startScan(folder)
    }
    Connections {
        target: AppModel
        function onFolderPanelRequested(prompt, message, forMove) {
            if (forMove)
                return
            folderAsk.acceptLabel = prompt
            folderAsk.ask()
        }
    }

    // Folders and files alike; the model decides what to scan from the first item.
    DropArea {
        id: drop
        objectName: "dropArea"
        anchors.fill: parent
        keys: [ "text/uri-list" ]
        onEntered: (drag) => { drag.accepted = drag.hasUrls }
        onDropped: (drag) => {
            if (AppModel.handleDrop(drag.urls))
                drag.acceptProposedAction()
            else
                drag.accepted = false
        }
    }

    DropOutline {
        objectName: "dropOutline"
        anchors.fill: parent
        anchors.margins: 16
        shown: root.targeted
    }
}
