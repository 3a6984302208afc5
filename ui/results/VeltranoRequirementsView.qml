import QtQuick
import Quorlix

// Whether this machine can run Veltrano, in one or two lines aligned as the host asks
// (Qt.AlignLeft, Qt.AlignHCenter or Qt.AlignRight).
Item {
    id: root
    objectName: "veltranoRequirements"
    property int alignment: Qt.AlignLeft

    readonly property bool compatible: VeltranoRequirements.compatible

    implicitWidth: compatible ? compatibleRow.implicitWidth
                              : Math.max(17 + lineText.implicitWidth, reasonText.implicitWidth)
    implicitHeight: compatible ? compatibleRow.implicitHeight
                               : lineRow.implicitHeight + 2 + reasonText.implicitHeight

    function xFor(itemWidth) {
        if (alignment & Qt.AlignHCenter)
            return Math.round((width - itemWidth) / 2)
        if (alignment & Qt.AlignRight)
            return width - itemWidth
        return 0
    }

    Row {
        id: compatibleRow
        objectName: "requirementsCompatible"
        visible: root.compatible
        x: root.xFor(width)
        spacing: 5
        Symbol {
            name: "checkmark.circle.fill"
            size: 12
            color: Theme.status.green
            anchors.verticalCenter: parent.verticalCenter
        }
        Text {
            text: L.req.compatible
            font.pixelSize: 11
            font.weight: Font.Medium
            color: Theme.text.secondary
        }
    }

    Row {
        id: lineRow
        objectName: "requirementsLine"
        visible: !root.compatible
        x: root.xFor(width)
        spacing: 5
        Symbol {
            name: "exclamationmark.triangle.fill"
            size: 12
            color: Theme.status.orange
            y: 1
        }
        Text {
            id: lineText
            text: L.req.line
            width: Math.min(implicitWidth, root.width - 17)
            wrapMode: Text.WordWrap
            font.pixelSize: 11
            font.weight: Font.DemiBold
            font.underline: true
            color: Theme.text.primary
        }
    }

    Text {
        id: reasonText
        objectName: "requirementsReason"
        visible: !root.compatible
        y: lineRow.height + 2
        width: Math.min(implicitWidth, root.width)
        x: root.xFor(width)
        text: VeltranoRequirements.reason
        wrapMode: Text.WordWrap
        horizontalAlignment: root.alignment & Qt.AlignHCenter ? Text.AlignHCenter
                           : root.alignment & Qt.AlignRight ? Text.AlignRight : Text.AlignLeft
        font.pixelSize: 11
        color: Theme.text.tertiary
    }
}
