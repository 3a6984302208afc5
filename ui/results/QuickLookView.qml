import QtQuick
import QtQuick.Controls.Basic
import Quorlix

// The enlarged photo over a dark backdrop with what it is and where it lives; Previous / Next
// walk its group (also the arrow keys), "Keep this one" (also Return) makes it the keeper; a
// click on the backdrop, the close button or Escape closes it.
Item {
    id: root
    objectName: "quickLook"

    // The photo's file URL; the view shows nothing without one.
    property url photoUrl

    readonly property bool loaded: picture.status === Image.Ready && picture.implicitWidth > 0

    focus: true
    Accessible.role: Accessible.Dialog
    Accessible.name: root.photo.name || ""
    Keys.onEscapePressed: (event) => {
        event.accepted = true
        AppModel.closeQuickLook()
    }
    Keys.onLeftPressed: if (info.previousId !== "") AppModel.openQuickLook(info.previousId)
    Keys.onRightPressed: if (info.nextId !== "") AppModel.openQuickLook(info.nextId)
    Keys.onReturnPressed: keepButton.clicked()

    QuickLookInfo { id: info; appModel: AppModel }
    // The photo's fields as a plain object: a QVariantMap's keys are not properties to qmllint.
    readonly property var photo: info.photo

    Rectangle {
        objectName: "quickLookBackdrop"
        anchors.fill: parent
        color: Qt.rgba(0, 0, 0, 0.85)
        MouseArea {
            anchors.fill: parent
            // Takes every click, so nothing under the preview reacts.
            acceptedButtons: Qt.AllButtons
            onClicked: AppModel.closeQuickLook()
            onWheel: (wheel) => { wheel.accepted = true }
        }
    }

    Image {
        id: picture
        objectName: "quickLookImage"
        anchors.fill: parent
        anchors.margins: 40
        anchors.bottomMargin: details.height + 56
        source: String(root.photoUrl) !== "" ? Thumbnails.source(root.photoUrl, Thumbnails.previewPixels) : ""
        asynchronous: true
        cache: false
        fillMode: Image.PreserveAspectFit
        smooth: true
        mipmap: true
        visible: root.loaded
    }

    Spinner {
        objectName: "quickLookSpinner"
        anchors.centerIn: parent
        // Only while the picture is on its way: a file no decoder reads ends the wait.
        visible: picture.status === Image.Loading
        color: "white"
        size: 28
        lineWidth: 3
    }

    Symbol {
        objectName: "quickLookUnreadable"
        anchors.centerIn: parent
        visible: !root.loaded && (picture.status === Image.Ready || picture.status === Image.Error)
        name: "exclamationmark.triangle.fill"
        size: 40
        color: Qt.rgba(1, 1, 1, 0.6)
    }

    component DarkButton: Button {
        id: darkButton
        hoverEnabled: true
        Accessible.name: text
        contentItem: Text {
            text: darkButton.text
            color: darkButton.enabled ? "white" : Qt.rgba(1, 1, 1, 0.35)
            font.pixelSize: 13
            font.weight: Font.Medium
            horizontalAlignment: Text.AlignHCenter
            verticalAlignment: Text.AlignVCenter
        }
        background: Rectangle {
            implicitWidth: 40
            implicitHeight: 32
            radius: 7
            color: darkButton.down ? Qt.rgba(1, 1, 1, 0.25) : (darkButton.hovered ? Qt.rgba(1, 1, 1, 0.18) : Qt.rgba(1, 1, 1, 0.1))
            border.width: darkButton.visualFocus ? 2 : 0.5
            border.color: darkButton.visualFocus ? "#9d90ff" : Qt.rgba(1, 1, 1, 0.25)
        }
    }

    // What the photo is and where it lives.
    Column {
        id: details
        objectName: "quickLookDetails"
        anchors { left: parent.left; right: parent.right; bottom: parent.bottom; margins: 24 }
        spacing: 10
        Text {
            objectName: "quickLookName"
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            text: root.photo.name || ""
            elide: Text.ElideMiddle
            font.pixelSize: 15
            font.weight: Font.DemiBold
            color: "white"
        }
        Text {
            objectName: "quickLookFacts"
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.WordWrap
            color: Qt.rgba(1, 1, 1, 0.75)
            font.pixelSize: 12
            text: {
                const p = root.photo
                const facts = [L.window.folder + ": " + (p.path || ""),
                               L.window.size + ": " + ViewLogic.byteCount(p.size || 0),
                               L.window.pixels + ": " + (p.pixels || L.window.unknown),
                               L.window.taken + ": " + (p.taken || L.window.unknown)]
                if (typeof p.score === "number")
                    facts.push(L.window.score + ": " + L.results.score(Math.round(p.score)))
                if (info.isKeeper && p.keptBecause)
                    facts.push(p.keptBecause)
                if (p.isDamaged)
                    facts.push(L.window.damaged)
                return facts.join("   ·   ")
            }
        }
        Row {
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: 10
            DarkButton {
                objectName: "quickLookPrevious"
                text: "‹ " + L.window.previous
                Accessible.name: L.window.previous
                enabled: info.previousId !== ""
                onClicked: AppModel.openQuickLook(info.previousId)
            }
            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: info.count > 0 ? L.scan.counter(info.position, info.count) : ""
                color: Qt.rgba(1, 1, 1, 0.75)
                font.pixelSize: 12
            }
            DarkButton {
                objectName: "quickLookNext"
                text: L.window.next + " ›"
                Accessible.name: L.window.next
                enabled: info.nextId !== ""
                onClicked: AppModel.openQuickLook(info.nextId)
            }
            DarkButton {
                id: keepButton
                objectName: "quickLookKeep"
                text: info.isKeeper ? "★ " + L.results.keep : L.window.keepThis
                Accessible.name: L.window.keepThis
                enabled: !info.isKeeper && info.groupId !== "" && !AppModel.moveInProgress
                onClicked: if (enabled) AppModel.setKeeper(info.groupId, root.photo.id)
            }
        }
    }

    DarkButton {
        id: closeButton
        objectName: "quickLookClose"
        anchors { top: parent.top; right: parent.right; margins: 20 }
        text: "✕"
        Accessible.name: L.window.close
        onClicked: AppModel.closeQuickLook()
    }
}
