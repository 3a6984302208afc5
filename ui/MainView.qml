import QtQuick
import QtQuick.Controls.Basic
import Quorlix

// The window's content: the current screen under the top bar, the full-window overlays, and
// the toast, back to front; the error alert over everything.
Item {
    id: root

    readonly property int screen: AppModel.screen

    // 1. Screen layer: a translucent fill over the window background.
    Rectangle {
        id: screenLayer
        anchors.fill: parent
        z: ZLayer.base
        color: Qt.rgba(Theme.bg.window.r, Theme.bg.window.g, Theme.bg.window.b, 0.6)

        TopBarView {
            id: topBar
            objectName: "topBar"
            anchors { left: parent.left; right: parent.right; top: parent.top }
            height: 56
            z: ZLayer.topBar
            // "Scan another folder" would drop the pending choice silently.
            enabled: !AppModel.hasPendingMove && !AppModel.moveInProgress
        }
        // The confirmation's backdrop covers the results only; the bar it silences dims with them.
        MoveBackdrop {
            objectName: "topBarBackdrop"
            anchors.fill: topBar
            z: ZLayer.topBar + 1
            visible: opacity > 0.01
            opacity: AppModel.hasPendingMove ? 1 : 0
            Behavior on opacity { Spring { curve: Theme.quickSpring } }
            onClicked: if (AppModel.hasPendingMove) AppModel.cancelPendingMove()
        }

        Loader {
            id: body
            objectName: "screenBody"
            anchors { left: parent.left; right: parent.right; top: topBar.bottom; bottom: parent.bottom }
            sourceComponent: {
                switch (root.screen) {
                case AppModel.Screen.scanning: return scanningScreen
                case AppModel.Screen.splash:
                case AppModel.Screen.results: return resultsScreen
                default: return emptyScreen
                }
            }
            // Each new screen fades in under the screen spring.
            property bool settled: false
            Component.onCompleted: settled = true
            onSourceComponentChanged: {
                if (!settled)
                    return
                opacity = 0
                fadeIn.restart()
            }
            Spring {
                id: fadeIn
                target: body
                property: "opacity"
                to: 1
                curve: Theme.screenSpring
            }
        }
    }

    Component { id: emptyScreen; EmptyStateView {} }
    Component { id: scanningScreen; ScanProgressView {} }
    Component { id: resultsScreen; ResultsView {} }

    // 2. Overlays: the splash, and the enlarged photo over it.
    Item {
        id: overlays
        objectName: "overlays"
        anchors.fill: parent

        // Fades in and grows from 0.97 while the screen is the splash; out the same way.
        ResultSplashView {
            id: splash
            readonly property bool shown: root.screen === AppModel.Screen.splash
            anchors.fill: parent
            z: ZLayer.splash
            enabled: shown
            visible: opacity > 0.01
            opacity: shown ? 1 : 0
            scale: shown ? 1 : 0.97
            Behavior on opacity { Spring { curve: Theme.screenSpring } }
            Behavior on scale { Spring { curve: Theme.screenSpring } }
        }

        // The enlarged photo fades in and out over everything but the toast.
        Loader {
            id: quickLook
            objectName: "quickLookLayer"
            anchors.fill: parent
            z: ZLayer.quickLook
            property url shownUrl
            active: opacity > 0.01 || AppModel.hasQuickLook
            // While it fades out, clicks reach the photos under it.
            enabled: AppModel.hasQuickLook
            opacity: AppModel.hasQuickLook ? 1 : 0
            Behavior on opacity { NumberAnimation { duration: 180; easing.type: Easing.OutCubic } }
            sourceComponent: QuickLookView {}
            Binding {
                target: quickLook.item
                when: quickLook.item !== null
                property: "photoUrl"
                value: quickLook.shownUrl
            }
            onLoaded: (item as Item).forceActiveFocus()
            Connections {
                target: AppModel
                // The photo stays while the view fades out.
                function onQuickLookChanged() {
                    if (!AppModel.hasQuickLook)
                        return
                    quickLook.shownUrl = AppModel.quickLookUrl
                    if (quickLook.item)
                        (quickLook.item as Item).forceActiveFocus()
                }
            }
        }
    }

    // 3. Toast, along the bottom edge: it rises in from below and fades.
    ToastView {
        id: toast
        objectName: "toastLayer"
        anchors.horizontalCenter: parent.horizontalCenter
        y: shown ? root.height - height - 24 : root.height + 8
        opacity: shown ? 1 : 0
        visible: opacity > 0.01
        Behavior on y { Spring { curve: Theme.quickSpring } }
        Behavior on opacity { Spring { curve: Theme.quickSpring } }
    }

    // The toast's life is keyed by its id: a newer toast restarts the wait, and an older
    // toast's timer never clears a newer one.
    Timer {
        id: toastTimer
        objectName: "toastTimer"
        property string toastId
        interval: ViewLogic.toastLifetimeMs(AppModel.toastUndoable)
        onTriggered: AppModel.dismissToast(toastId)
    }
    Connections {
        target: AppModel
        function onToastChanged() {
            if (AppModel.hasToast && AppModel.toastId !== toastTimer.toastId) {
                toastTimer.toastId = AppModel.toastId
                toastTimer.restart()
            } else if (!AppModel.hasToast) {
                toastTimer.stop()
                toastTimer.toastId = ""
            }
        }
    }

    // 4. The one error alert, shown while the model holds a message.
    Connections {
        target: AppModel
        function onErrorMessageChanged() { root.syncAlert() }
    }
    function syncAlert() {
        if (AppModel.errorMessage !== "")
            alert.open()
        else
            alert.close()
    }
    Component.onCompleted: syncAlert()
    Dialog {
        id: alert
        objectName: "errorAlert"
        anchors.centerIn: parent
        modal: true
        width: Math.min(420, root.width - 48)
        title: L.error.title
        closePolicy: Popup.CloseOnEscape
        onClosed: AppModel.errorMessage = ""
        background: Rectangle {
            radius: 12
            color: Theme.bg.sheet
            border.width: 0.5
            border.color: Theme.border.b2
        }
        header: Text {
            text: alert.title
            padding: 20
            bottomPadding: 4
            font.pixelSize: 15
            font.weight: Font.DemiBold
            color: Theme.text.primary
        }
        contentItem: Text {
            text: AppModel.errorMessage
            wrapMode: Text.WordWrap
            font.pixelSize: 13
            color: Theme.text.secondary
        }
        footer: Item {
            implicitHeight: okButton.implicitHeight + 32
            SecondaryButton {
                id: okButton
                objectName: "errorOk"
                text: L.error.ok
                anchors { right: parent.right; rightMargin: 20; verticalCenter: parent.verticalCenter }
                onClicked: alert.close()
            }
        }
    }
}
