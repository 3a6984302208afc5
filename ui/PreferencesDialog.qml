import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Quorlix

// Appearance, language and the analysis cache. The appearance changes at once; the language at
// the next start, which the dialog says while the two differ. The cache cannot be forgotten
// while a scan is writing to it.
Dialog {
    id: root
    objectName: "preferencesDialog"
    anchors.centerIn: parent
    modal: true
    width: 400
    title: L.window.preferences.replace("\u2026", "")
    closePolicy: Popup.CloseOnEscape
    padding: 20

    background: Rectangle {
        radius: 12
        color: Theme.bg.sheet
        border.width: 0.5
        border.color: Theme.border.b2
    }
    header: Text {
        text: root.title
        padding: 20
        bottomPadding: 0
        font.pixelSize: 15
        font.weight: Font.DemiBold
        color: Theme.text.primary
    }

    component Choice: RadioButton {
        id: choice
        property string value
        property string current
        signal picked(string value)
        checked: value === current
        Accessible.name: text
        onClicked: picked(value)
        contentItem: Text {
            text: choice.text
            leftPadding: choice.indicator.width + choice.spacing
            color: Theme.text.primary
            font.pixelSize: 13
            verticalAlignment: Text.AlignVCenter
        }
        FocusRing { shown: choice.visualFocus; radiusOffset: 4 }
    }

    contentItem: ColumnLayout {
        spacing: 4
        Text {
            text: L.window.appearance
            font.pixelSize: 13
            font.weight: Font.DemiBold
            color: Theme.text.primary
        }
        // Radio buttons that share a parent exclude each other: one column per choice.
        Column {
            Repeater {
                model: [ ["system", L.window.followSystem], ["light", L.window.light], ["dark", L.window.dark] ]
                Choice {
                    required property var modelData
                    objectName: "theme_" + modelData[0]
                    text: modelData[1]
                    value: modelData[0]
                    current: Preferences.theme
                    onPicked: (value) => Preferences.theme = value
                }
            }
        }
        Item { implicitHeight: 8 }
        Text {
            text: L.window.language
            font.pixelSize: 13
            font.weight: Font.DemiBold
            color: Theme.text.primary
        }
        Column {
            Repeater {
                model: [ ["system", L.window.followSystem], ["en", "English"], ["it", "Italiano"], ["es", "Español"] ]
                Choice {
                    required property var modelData
                    objectName: "language_" + modelData[0]
                    text: modelData[1]
                    value: modelData[0]
                    current: Preferences.language
                    onPicked: (value) => Preferences.language = value
                }
            }
        }
        Text {
            objectName: "languageNote"
            Layout.fillWidth: true
            visible: Preferences.restartNeeded
            text: L.window.languageNote
            wrapMode: Text.WordWrap
            font.pixelSize: 12
            color: Theme.text.secondary
        }
        Item { implicitHeight: 8 }
        Text {
            objectName: "analysisCacheSize"
            Layout.fillWidth: true
            text: AppModel.analysisCacheText
            wrapMode: Text.WordWrap
            font.pixelSize: 13
            color: Theme.text.primary
        }
        SecondaryButton {
            objectName: "forgetCacheButton"
            text: L.prefs.forgetCache
            // Qt 6.4's qmllint knows no qint64 (qlonglong) property type.
            enabled: AppModel.screen !== AppModel.Screen.scanning && AppModel.analysisCacheBytes > 0 // qmllint disable type
            Accessible.description: AppModel.analysisCacheText
            onClicked: AppModel.forgetCachedAnalyses()
        }
    }
    footer: Item {
        implicitHeight: closeButton.implicitHeight + 32
        SecondaryButton {
            id: closeButton
            text: L.window.close
            anchors { right: parent.right; rightMargin: 20; verticalCenter: parent.verticalCenter }
            onClicked: root.close()
        }
    }
}
