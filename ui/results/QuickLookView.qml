import QtQuick
import Quorlix

// The enlarged photo over a dark backdrop; a click on the backdrop, the close button or
// Escape closes it.
Item {
    id: root
    objectName: "quickLook"

    // The photo's file URL; the view shows nothing without one.
    property url photoUrl

    readonly property bool loaded: picture.status === Image.Ready && picture.implicitWidth > 0

    focus: true
    Keys.onEscapePressed: (event) => {
        event.accepted = true
        AppModel.closeQuickLook()
    }

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
        source: root.photoUrl.toString() !== "" ? Thumbnails.source(root.photoUrl, Thumbnails.previewPixels) : ""
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

    Item {
        objectName: "quickLookClose"
        anchors { top: parent.top; right: parent.right; margins: 20 }
        width: 30
        height: 30
        opacity: closeTap.pressed ? 0.6 : (closeHover.hovered ? 1 : 0.8)
        Symbol {
            anchors.centerIn: parent
            name: "xmark.circle.fill"
            size: 26
            color: "white"
        }
        HoverHandler { id: closeHover; cursorShape: Qt.PointingHandCursor }
        TapHandler { id: closeTap; onTapped: AppModel.closeQuickLook() }
    }
}
