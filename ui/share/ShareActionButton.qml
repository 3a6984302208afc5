import QtQuick
import QtQuick.Controls.Basic
import Quorlix

// A share button: when pressed it asks the model for the items of its `kind` ("result": the
// card and caption; "keepers": the kept photos) and opens the share picker under itself.
SecondaryButton {
    id: control
    property string kind: "result"
    readonly property alias picker: picker
    readonly property alias popup: popup

    symbol: "square.and.arrow.up"
    onClicked: {
        if (!picker.prepare())
            return
        // Under the button, unless the window ends before the picker does.
        const bottom = control.mapToItem(null, 0, control.height).y + 6 + popup.implicitHeight
        popup.above = bottom + popup.margins > control.Window.height
        popup.open()
    }

    // Closes the picker first, so a notice or dialog the action brings is not hidden under it.
    function run(action) {
        popup.close()
        action()
    }

    SharePicker {
        id: picker
        kind: control.kind
        appModel: AppModel
    }

    FolderAsk {
        id: folderDialog
        purpose: "share" + control.kind
        title: L.picker.saveTitle
        acceptLabel: L.picker.saveCopy
        canCreateFolders: true
        onChosen: (folder) => picker.saveCopyTo(folder)
    }

    Popup {
        id: popup
        objectName: "sharePopup"
        property bool above: false
        y: above ? -implicitHeight - 6 : control.height + 6
        x: Math.round((control.width - width) / 2)
        margins: 8
        padding: 5
        modal: false
        focus: true
        closePolicy: Popup.CloseOnEscape | Popup.CloseOnPressOutside

        enter: Transition {
            NumberAnimation { property: "opacity"; from: 0; to: 1; duration: 120 }
            NumberAnimation { property: "scale"; from: 0.97; to: 1; duration: 120 }
        }
        exit: Transition {
            NumberAnimation { property: "opacity"; from: 1; to: 0; duration: 90 }
        }

        background: Item {
            SoftShadow {
                anchors.fill: parent
                radius: 10
                color: Qt.rgba(0, 0, 0, 0.22)
                blur: 14
                offsetY: 6
            }
            Rectangle {
                anchors.fill: parent
                radius: 10
                color: Theme.bg.popover
                border.width: 0.5
                border.color: Theme.border.b2
            }
        }

        // The rows size to the widest by id, which builds them with the popup rather than on
        // first open: intended, the picker is small.
        contentItem: Column { // qmllint disable deferred-property-id
            id: rows
            spacing: 1
            width: Math.max(copyRow.implicitWidth, revealRow.implicitWidth,
                            emailRow.implicitWidth, saveRow.implicitWidth)
            PickerRow {
                id: copyRow
                objectName: "shareCopy"
                symbol: "doc.on.doc"
                text: control.kind === "keepers" ? L.picker.copyFiles : L.picker.copyImage
                width: rows.width
                onActivated: control.run(() => picker.copyToClipboard())
            }
            PickerRow {
                id: revealRow
                objectName: "shareReveal"
                symbol: "folder"
                text: L.picker.reveal
                width: rows.width
                onActivated: control.run(() => picker.showInFileManager())
            }
            PickerRow {
                id: emailRow
                objectName: "shareEmail"
                visible: picker.canSendByEmail
                symbol: "envelope"
                text: L.picker.email
                width: rows.width
                onActivated: control.run(() => picker.sendByEmail())
            }
            PickerRow {
                id: saveRow
                objectName: "shareSave"
                symbol: "square.and.arrow.down"
                text: L.picker.saveCopy
                width: rows.width
                onActivated: control.run(() => folderDialog.ask())
            }
        }
    }

    // One action of the picker: a symbol and a label, highlighted under the pointer or the
    // keyboard focus.
    component PickerRow: AbstractButton {
        id: row
        property string symbol
        signal activated()
        readonly property bool lit: hovered || visualFocus
        implicitWidth: Math.max(200, implicitContentWidth + 14)
        implicitHeight: 30
        hoverEnabled: true
        focusPolicy: Qt.StrongFocus
        Accessible.role: Accessible.MenuItem
        Accessible.name: text
        onClicked: row.activated()
        Keys.onReturnPressed: row.activated()
        background: Rectangle {
            radius: 6
            color: row.lit ? Theme.accent.soft : "transparent"
            border.width: row.visualFocus ? 1.5 : 0
            border.color: Theme.border.accent
        }
        contentItem: Row {
            leftPadding: 10
            spacing: 9
            Symbol {
                name: row.symbol
                size: 15
                color: row.lit ? Theme.accent.primary : Theme.text.secondary
                anchors.verticalCenter: parent.verticalCenter
            }
            Text {
                text: row.text
                font.pixelSize: 13
                color: Theme.text.primary
                anchors.verticalCenter: parent.verticalCenter
            }
        }
        HoverHandler { cursorShape: Qt.PointingHandCursor }
    }
}
