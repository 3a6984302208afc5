import QtQuick
import QtQuick.Controls.Basic
import Quorlix

// One photo of a group: its thumbnail, the keeper's border and badge, its name, folder and
// score. From the keyboard: Space enlarges it, Return keeps it, Left / Right walk the row.
Item {
    id: root
    objectName: "thumbCell"
    activeFocusOnTab: true
    Accessible.role: Accessible.Button
    Accessible.name: (record.name || "") + ", " + root.folderText + (root.isKeeper ? ", " + root.keeperLabel : "")
                     + (root.isDamaged ? ". " + L.window.damaged : "")
    Accessible.description: (root.record.path || "") + (root.isKeeper && root.record.keptBecause ? ". " + root.record.keptBecause : "")
    Accessible.onPressAction: root.keepRequested()
    Keys.onSpacePressed: root.previewRequested()
    Keys.onReturnPressed: root.keepRequested()
    Keys.onEnterPressed: root.keepRequested()
    Keys.onLeftPressed: root.stepRequested(-1)
    Keys.onRightPressed: root.stepRequested(1)
    Keys.onUpPressed: root.rowRequested(-1)
    Keys.onDownPressed: root.rowRequested(1)

    // A member as GroupListModel gives it (id, name, thumbnail, score when scored).
    property var record: ({})
    property bool isKeeper: false
    property string keeperLabel: L.results.keep
    // undefined when the group has no score for this photo.
    property var score: record.score
    property bool hovering: hover.hovered
    property real side: 150
    // The colour the cell sits on, for the rounded corners (see `corners`).
    property color backdrop: Theme.bg.surface1

    // The photo's folder below the scanned one, or the scanned one itself.
    readonly property string folderText: record.folder ? record.folder : L.window.topFolder
    readonly property bool isDamaged: record.isDamaged === true
    readonly property bool hasScore: typeof score === "number" && isFinite(score)
    readonly property bool loaded: picture.status === Image.Ready && picture.implicitWidth > 0

    signal keepRequested()
    signal previewRequested()
    signal menuRequested(real x, real y)
    signal stepRequested(int delta)
    signal rowRequested(int delta)

    width: side
    height: side

    // 1. The picture over a grey placeholder, which stays when the file cannot be decoded.
    Rectangle {
        objectName: "placeholder"
        anchors.fill: parent
        radius: 14
        color: Theme.bg.surface3
        visible: !root.loaded
    }
    Image {
        id: picture
        objectName: "thumbnail"
        anchors.fill: parent
        source: root.record.thumbnail || ""
        asynchronous: true
        cache: false
        fillMode: Image.PreserveAspectCrop
        smooth: true
        visible: root.loaded
    }

    // 4. Name and score on a darkening strip along the bottom.
    Rectangle {
        id: strip
        anchors { left: parent.left; right: parent.right; bottom: parent.bottom }
        height: stripColumn.implicitHeight + 12
        gradient: Gradient {
            GradientStop { position: 0.0; color: "transparent" }
            GradientStop { position: 1.0; color: Qt.rgba(0, 0, 0, 0.65) }
        }
        Column {
            id: stripColumn
            anchors.centerIn: parent
            Text {
                objectName: "folderText"
                anchors.horizontalCenter: parent.horizontalCenter
                width: Math.min(implicitWidth, strip.width - 16)
                text: root.folderText
                elide: Text.ElideMiddle
                maximumLineCount: 1
                font.pixelSize: 9
                color: Qt.rgba(1, 1, 1, 0.8)
            }
        Row {
            id: stripRow
            spacing: 6
            anchors.horizontalCenter: parent.horizontalCenter
            Text {
                objectName: "fileName"
                width: Math.min(implicitWidth, strip.width - 16 - (scoreText.visible ? scoreText.implicitWidth + stripRow.spacing : 0))
                text: root.record.name || ""
                elide: Text.ElideMiddle
                maximumLineCount: 1
                font.pixelSize: 10
                font.weight: Font.Medium
                color: "white"
            }
            Text {
                id: scoreText
                objectName: "scoreText"
                visible: root.hasScore
                text: root.hasScore ? L.results.score(Math.round(root.score)) : ""
                font.pixelSize: 10
                font.weight: Font.Bold
                color: "white"
            }
        }
        }
    }

    // Rounded corners without an effect pipeline: the corners outside the rounded square are
    // painted in the colour the cell sits on, by the inner edge of a wide border clipped to the
    // cell.
    Item {
        id: corners
        anchors.fill: parent
        clip: true
        Rectangle {
            anchors.fill: parent
            anchors.margins: -14
            radius: 28
            color: "transparent"
            border.width: 14
            border.color: root.backdrop
        }
    }

    // 2. Border: green for the keeper, accent while hovered, a hairline otherwise.
    Rectangle {
        objectName: "cellBorder"
        anchors.fill: parent
        radius: 14
        color: "transparent"
        border.width: root.isKeeper ? 3 : (root.hovering ? 2 : 0.5)
        border.color: root.isKeeper ? Theme.status.green : (root.hovering ? Theme.border.accent : Theme.border.b1)
        Behavior on border.width { Spring { curve: Theme.quickSpring } }
        Behavior on border.color { ColorAnimation { duration: 180 } }
    }

    // 3. The keeper's badge.
    Rectangle {
        id: badge
        objectName: "keeperBadge"
        visible: root.isKeeper
        x: 8
        y: 8
        width: badgeRow.implicitWidth + 14
        height: badgeRow.implicitHeight + 8
        radius: height / 2
        color: "transparent"
        GradientRect {
            anchors.fill: parent
            radius: parent.radius
        }
        Row {
            id: badgeRow
            spacing: 4
            anchors.centerIn: parent
            Symbol {
                name: "star.fill"
                size: 10
                color: "white"
                anchors.verticalCenter: parent.verticalCenter
            }
            Text {
                objectName: "keeperLabel"
                text: root.keeperLabel
                font.pixelSize: 10
                font.weight: Font.Bold
                color: "white"
                anchors.verticalCenter: parent.verticalCenter
            }
        }
        HoverHandler { id: badgeHover }
        ToolTip.visible: badgeHover.hovered && !!root.record.keptBecause
        ToolTip.delay: 400
        ToolTip.text: root.record.keptBecause || ""
    }

    // 3b. A file the decoder could read only in part: a warning, named for screen readers.
    Rectangle {
        id: damageBadge
        objectName: "damagedBadge"
        visible: root.isDamaged
        anchors { top: parent.top; right: parent.right; topMargin: 8; rightMargin: 8 }
        width: 22
        height: 22
        radius: 11
        color: Qt.rgba(0, 0, 0, 0.55)
        Accessible.role: Accessible.StaticText
        Accessible.name: L.window.damaged
        Symbol {
            name: "exclamationmark.triangle.fill"
            size: 14
            color: Theme.status.orange
            anchors.centerIn: parent
        }
        HoverHandler { id: damageHover }
        ToolTip.visible: damageHover.hovered
        ToolTip.delay: 400
        ToolTip.text: L.window.damaged
    }

    HoverHandler {
        id: hover
        cursorShape: Qt.PointingHandCursor
    }
    ToolTip.visible: hover.hovered && !badgeHover.hovered && !damageHover.hovered
    ToolTip.delay: 700
    ToolTip.text: (root.record.path || "") + (root.record.name ? "/" + root.record.name : "")

    FocusRing {
        objectName: "thumbFocusRing"
        shown: root.activeFocus
        radiusOffset: 14
        // Inside the cell: the row clips whatever reaches past it.
        anchors.margins: 1
    }

    // A single click keeps the photo, but only once it is clear no second click follows:
    // a double click only opens the enlarged view.
    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.LeftButton | Qt.RightButton
        onClicked: (mouse) => {
            root.forceActiveFocus(Qt.MouseFocusReason)
            if (mouse.button === Qt.RightButton)
                root.menuRequested(mouse.x, mouse.y)
            else
                singleClick.restart()
        }
        onDoubleClicked: (mouse) => {
            if (mouse.button !== Qt.LeftButton)
                return
            singleClick.stop()
            root.previewRequested()
        }
    }
    Timer {
        id: singleClick
        // Qt 6.4's qmllint types Qt.styleHints as a plain QObject.
        interval: Qt.styleHints.mouseDoubleClickInterval // qmllint disable type
        onTriggered: root.keepRequested()
    }
}
