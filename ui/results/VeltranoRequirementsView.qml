import QtQuick
import Quorlix

// Placeholder for the requirements notice: the requirement line, aligned as the host asks.
Item {
    id: root
    property int alignment: Qt.AlignHCenter
    implicitWidth: line.implicitWidth
    implicitHeight: line.implicitHeight

    Text {
        id: line
        width: root.width
        horizontalAlignment: root.alignment === Qt.AlignLeft ? Text.AlignLeft
                           : root.alignment === Qt.AlignRight ? Text.AlignRight : Text.AlignHCenter
        wrapMode: Text.WordWrap
        text: L.req.line
        font.pixelSize: 11
        font.weight: Font.DemiBold
        font.underline: true
        color: Theme.text.primary
    }
}
