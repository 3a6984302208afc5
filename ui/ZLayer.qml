pragma Singleton
import QtQml

// Stacking order of the window's layers; a higher value is drawn on top.
QtObject {
    readonly property real base: 0
    readonly property real overlay: 1000
    readonly property real splash: 2000
    readonly property real confirmation: 3000
    readonly property real quickLook: 4000
    readonly property real popover: 1000
    readonly property real popoverContent: 1001
    readonly property real popoverControls: 1002
    readonly property real popoverTop: 1003
    readonly property real topBar: 50
}
