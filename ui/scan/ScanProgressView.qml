import QtQuick
import Quorlix

// The scanning screen: phase, a bar with a counter for the phases that count items, a spinner
// for the others, and Cancel.
Rectangle {
    id: root
    objectName: "scanProgress"
    color: Theme.bg.surface1

    // The model's progress; overridable so the view can be shown without a scan.
    property string phaseLabel: AppModel.progressLabel
    property bool determinate: AppModel.progressDeterminate
    // Qt 6.4's qmllint knows no qint64 (qlonglong) property type.
    property real current: AppModel.progressCurrent // qmllint disable type
    property real total: AppModel.progressTotal // qmllint disable type

    readonly property real fraction: ViewLogic.fraction(current, total)

    property bool pulse: false
    Component.onCompleted: pulse = true

    Column {
        spacing: 28
        anchors.centerIn: parent

        AppLogo {
            objectName: "scanLogo"
            size: 160
            anchors.horizontalCenter: parent.horizontalCenter
            SequentialAnimation on scale {
                running: root.pulse
                loops: Animation.Infinite
                NumberAnimation { from: 1.0; to: 1.03; duration: 2000; easing.type: Easing.InOutQuad }
                NumberAnimation { from: 1.03; to: 1.0; duration: 2000; easing.type: Easing.InOutQuad }
            }
        }

        Column {
            spacing: 8
            anchors.horizontalCenter: parent.horizontalCenter
            Text {
                anchors.horizontalCenter: parent.horizontalCenter
                text: L.scan.title
                font.pixelSize: 22
                font.weight: Font.Bold
                color: Theme.text.primary
            }
            // The label cross-fades when the phase changes.
            Item {
                anchors.horizontalCenter: parent.horizontalCenter
                width: Math.max(outgoing.implicitWidth, label.implicitWidth)
                height: label.implicitHeight
                Text {
                    id: outgoing
                    anchors.horizontalCenter: parent.horizontalCenter
                    font: label.font
                    color: label.color
                    opacity: 1 - label.opacity
                }
                Text {
                    id: label
                    objectName: "phaseLabel"
                    anchors.horizontalCenter: parent.horizontalCenter
                    text: root.phaseLabel
                    font.pixelSize: 14
                    color: Theme.text.secondary
                    property string shown: text
                    onTextChanged: {
                        outgoing.text = shown
                        shown = text
                        opacity = 0
                        fade.restart()
                    }
                    Spring {
                        id: fade
                        target: label
                        property: "opacity"
                        to: 1
                        curve: Theme.quickSpring
                    }
                }
            }
        }

        Item {
            id: progressBlock
            objectName: "progressBlock"
            width: 360
            height: 40
            anchors.horizontalCenter: parent.horizontalCenter

            Column {
                objectName: "determinateBlock"
                visible: root.determinate
                spacing: 10
                width: parent.width
                Rectangle {
                    id: track
                    objectName: "barTrack"
                    width: parent.width
                    height: 8
                    radius: 4
                    color: Theme.bg.surface3
                    GradientRect {
                        objectName: "barFill"
                        height: parent.height
                        radius: 4
                        width: ViewLogic.barFillWidth(track.width, root.fraction)
                        Behavior on width { NumberAnimation { duration: 200; easing.type: Easing.Linear } }
                    }
                }
                Text {
                    objectName: "counter"
                    anchors.horizontalCenter: parent.horizontalCenter
                    text: L.scan.counter(root.current, root.total)
                    font.pixelSize: 12
                    font.weight: Font.Medium
                    color: Theme.text.tertiary
                }
            }

            Spinner {
                objectName: "spinner"
                visible: !root.determinate
                size: 18
                anchors.horizontalCenter: parent.horizontalCenter
                y: 4
            }
        }

        SecondaryButton {
            objectName: "cancelButton"
            anchors.horizontalCenter: parent.horizontalCenter
            text: L.scan.cancel
            onClicked: {
                AppModel.cancelScan()
                AppModel.newScan()
            }
        }
    }
}
