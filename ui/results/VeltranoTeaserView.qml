pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls.Basic
import Quorlix

// A small carousel of what Veltrano does, one question at a time. It moves on by itself
// unless the pointer rests on it, and follows the chevrons, the dots and the arrow keys.
Rectangle {
    id: root
    objectName: "teaser"

    // Grows with every automatic step; read modulo the number of teasers.
    property int index: 0
    property bool hovering: hover.hovered
    // Counts manual steps; each one restarts the wait for the next automatic step.
    property int lastManual: 0
    // The wait between automatic steps.
    property int advanceInterval: 6000

    readonly property var teasers: [
        { id: 0, icon: "star.circle.fill", question: L.teaser.bestShotQ, detail: L.teaser.bestShotA },
        { id: 1, icon: "person.crop.circle.badge.checkmark", question: L.teaser.peopleQ, detail: L.teaser.peopleA },
        { id: 2, icon: "text.magnifyingglass", question: L.teaser.semanticQ, detail: L.teaser.semanticA },
        { id: 3, icon: "character.cursor.ibeam", question: L.teaser.renameQ, detail: L.teaser.renameA },
        { id: 4, icon: "book.pages.fill", question: L.teaser.storiesQ, detail: L.teaser.storiesA },
        { id: 5, icon: "iphone.and.arrow.forward", question: L.teaser.iphoneQ, detail: L.teaser.iphoneA },
        { id: 6, icon: "lock.shield.fill", question: L.teaser.privacyQ, detail: L.teaser.privacyA },
        { id: 7, icon: "gift.fill", question: L.teaser.freeQ, detail: L.teaser.freeA }
    ]
    readonly property int count: teasers.length
    readonly property int shown: wrapped(index, count)
    readonly property var current: teasers[shown]

    // The position `i` stands for among `n` teasers, for any integer i.
    function wrapped(i, n) { return ((i % n) + n) % n }
    function step(delta) {
        index = (index + delta + count) % count
        lastManual += 1
    }
    function select(i) {
        index = i
        lastManual += 1
    }
    function openStore() { AppModel.openAppStore("teaser_" + current.id) }

    implicitWidth: 520
    implicitHeight: column.implicitHeight + 40
    radius: 14
    color: Theme.bg.surface1
    border.width: 1
    border.color: hovering ? Theme.border.accent : Theme.border.b2
    Behavior on border.color { ColorAnimation { duration: 200 } }

    activeFocusOnTab: true
    Keys.onLeftPressed: (event) => { root.step(-1); event.accepted = true }
    Accessible.role: Accessible.Grouping
    Accessible.name: L.teaser.lead
    Keys.onRightPressed: (event) => { root.step(1); event.accepted = true }

    HoverHandler { id: hover }
    // A click anywhere on the carousel gives it the keys, without drawing a focus ring.
    TapHandler { onTapped: root.forceActiveFocus() }

    Timer {
        id: advance
        objectName: "advanceTimer"
        interval: root.advanceInterval
        repeat: true
        // Only for someone who may be looking: not while the window is in the background.
        running: root.visible && Application.state === Qt.ApplicationActive
        onTriggered: {
            if (!root.hovering)
                root.index += 1
        }
    }
    onLastManualChanged: advance.restart()

    Column {
        id: column
        spacing: 16
        anchors { left: parent.left; right: parent.right; top: parent.top; margins: 20 }

        // 1. The teaser: the new one slides in from the trailing edge, the old one out
        // towards the leading edge.
        Item {
            id: stage
            width: parent.width
            // rows.count: itemAt() alone would not notice the rows being made.
            height: rows.count > root.shown && rows.itemAt(root.shown)
                    ? rows.itemAt(root.shown).implicitHeight : 52
            clip: true
            Behavior on height { Spring { curve: Theme.screenSpring } }
            Repeater {
                id: rows
                model: root.teasers
                delegate: Row {
                    id: row
                    required property var modelData
                    required property int index
                    readonly property bool isCurrent: index === root.shown
                    objectName: isCurrent ? "currentTeaser" : ""
                    width: stage.width
                    spacing: 16
                    opacity: 0
                    visible: opacity > 0.001
                    Component.onCompleted: {
                        if (isCurrent)
                            opacity = 1
                    }
                    onIsCurrentChanged: {
                        leave.stop()
                        enter.stop()
                        if (isCurrent)
                            enter.start()
                        else
                            leave.start()
                    }
                    ParallelAnimation {
                        id: enter
                        Spring { target: row; property: "x"; from: 40; to: 0; curve: Theme.screenSpring }
                        NumberAnimation { target: row; property: "opacity"; to: 1; duration: 260; easing.type: Easing.OutCubic }
                    }
                    ParallelAnimation {
                        id: leave
                        Spring { target: row; property: "x"; to: -40; curve: Theme.screenSpring }
                        NumberAnimation { target: row; property: "opacity"; to: 0; duration: 200; easing.type: Easing.OutCubic }
                    }

                    Item {
                        width: 52
                        height: 52
                        GradientRect {
                            anchors.fill: parent
                            radius: 10
                            stops: Theme.softBrandStops
                        }
                        Symbol {
                            anchors.centerIn: parent
                            name: row.modelData.icon
                            size: 24
                            weight: 1.2
                            gradientStops: Theme.brandStops
                        }
                    }
                    Column {
                        spacing: 5
                        width: row.width - 52 - row.spacing
                        Text {
                            objectName: "teaserQuestion"
                            width: parent.width
                            wrapMode: Text.WordWrap
                            text: row.modelData.question
                            font.pixelSize: 16
                            font.weight: Font.DemiBold
                            color: Theme.text.primary
                        }
                        Text {
                            width: parent.width
                            wrapMode: Text.WordWrap
                            text: row.modelData.detail
                            font.pixelSize: 13
                            color: Theme.text.secondary
                            lineHeight: 1.1
                        }
                    }
                }
            }
        }

        // 2. Chevrons, dots and the call to action.
        Row {
            spacing: 10
            anchors.horizontalCenter: parent.horizontalCenter

            ChevronButton {
                objectName: "teaserPrevious"
                symbol: "chevron.left"
                Accessible.name: L.window.previous
                onActivated: root.step(-1)
            }
            Row {
                spacing: 5
                anchors.verticalCenter: parent.verticalCenter
                Repeater {
                    model: root.count
                    delegate: AbstractButton {
                        id: dot
                        required property int index
                        objectName: "teaserDot" + index
                        width: pill.width
                        height: 16
                        Accessible.role: Accessible.Button
                        Accessible.name: L.scan.counter(index + 1, root.count)
                        onClicked: root.select(index)
                        FocusRing { shown: dot.visualFocus; radiusOffset: 3 }
                        Rectangle {
                            id: pill
                            anchors.verticalCenter: parent.verticalCenter
                            width: dot.index === root.shown ? 16 : 6
                            height: 6
                            radius: 3
                            color: dot.index === root.shown ? Theme.accent.primary : Theme.border.b3
                            Behavior on width { Spring { curve: Theme.screenSpring } }
                        }
                        HoverHandler { cursorShape: Qt.PointingHandCursor }
                    }
                }
            }
            ChevronButton {
                objectName: "teaserNext"
                symbol: "chevron.right"
                Accessible.name: L.window.next
                onActivated: root.step(1)
            }
            PrimaryButton {
                objectName: "teaserCta"
                anchors.verticalCenter: parent.verticalCenter
                symbol: "sparkles"
                text: L.teaser.cta
                onClicked: root.openStore()
            }
        }
    }

    component ChevronButton: AbstractButton {
        id: chevron
        property string symbol
        signal activated()
        anchors.verticalCenter: parent.verticalCenter
        width: 24
        height: 24
        Accessible.role: Accessible.Button
        onClicked: chevron.activated()
        background: Rectangle {
            radius: 12
            color: chevron.down ? Theme.bg.surface3 : Theme.bg.surface2
            border.width: 0.5
            border.color: Theme.border.b2
        }
        contentItem: Item {
            Symbol {
                anchors.centerIn: parent
                name: chevron.symbol
                size: 11
                color: Theme.text.secondary
            }
        }
        HoverHandler { cursorShape: Qt.PointingHandCursor }
        FocusRing { shown: chevron.visualFocus; radiusOffset: 12 }
    }
}
