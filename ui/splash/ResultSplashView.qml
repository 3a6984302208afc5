pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls.Basic
import Quorlix

// Laid over the results when a scan completes: the three numbers, the share card, Veltrano,
// and the way on to the results. A click on the backdrop continues too.
Item {
    id: root
    objectName: "resultSplash"

    readonly property bool hasResult: AppModel.hasResult
    readonly property real cardWidth: Math.min(560, width - 32)
    readonly property real innerWidth: cardWidth - 72

    function continueToResults() { AppModel.screen = AppModel.Screen.results }

    ResultStats { id: stats; appModel: AppModel }

    // Ultra-thin material, then black at 0.45.
    Rectangle {
        anchors.fill: parent
        color: Qt.rgba(Theme.bg.window.r, Theme.bg.window.g, Theme.bg.window.b, 0.35)
    }
    Rectangle {
        anchors.fill: parent
        color: Qt.rgba(0, 0, 0, 0.45)
    }

    // Scrolls only when the window is too short for the card.
    Flickable {
        id: flick
        anchors.fill: parent
        contentWidth: width
        contentHeight: Math.max(height, card.height + 32)
        boundsBehavior: Flickable.StopAtBounds
        clip: true
        // Shown for as long as part of the card is out of sight.
        ScrollBar.vertical: ScrollBar {
            objectName: "splashScrollBar"
            policy: flick.contentHeight > flick.height + 0.5 ? ScrollBar.AlwaysOn : ScrollBar.AlwaysOff
        }

        MouseArea {
            objectName: "splashBackdrop"
            width: flick.width
            height: flick.contentHeight
            onClicked: root.continueToResults()
        }

        Item {
            id: card
            objectName: "splashCard"
            visible: root.hasResult
            width: root.cardWidth
            height: content.implicitHeight + 72
            x: Math.round((flick.width - width) / 2)
            y: Math.max(16, Math.round((flick.height - height) / 2))

            // The card swallows its own clicks: only the backdrop continues.
            MouseArea { anchors.fill: parent }

            SoftShadow {
                anchors.fill: parent
                radius: 14
                color: Qt.rgba(0, 0, 0, 0.25)
                blur: 40
                offsetY: 20
            }
            Rectangle {
                anchors.fill: parent
                radius: 14
                color: Theme.bg.sheet
                border.width: 0.5
                border.color: Theme.border.b1
            }

            Column {
                id: content
                x: 36
                y: 36
                width: root.innerWidth

                // 1. Hero.
                Column {
                    width: parent.width
                    spacing: 10
                    Item {
                        width: 72
                        height: 72
                        anchors.horizontalCenter: parent.horizontalCenter
                        GradientRect {
                            anchors.fill: parent
                            radius: 36
                            stops: Theme.softBrandStops
                        }
                        Symbol {
                            anchors.centerIn: parent
                            name: "checkmark.seal.fill"
                            // Our grid leaves a margin a font's glyph does not: 38 draws as 34.
                            size: 38
                            brand: true
                        }
                    }
                    Text {
                        objectName: "splashTitle"
                        anchors.horizontalCenter: parent.horizontalCenter
                        text: L.splash.title
                        font.pixelSize: 24
                        font.weight: Font.Bold
                        color: Theme.text.primary
                    }
                    Item { width: 1; height: 6 - parent.spacing }
                    Row {
                        id: statRow
                        objectName: "splashStats"
                        anchors.horizontalCenter: parent.horizontalCenter
                        spacing: 28
                        // The three values share one size, shrunk together when the widest
                        // result would not fit the card.
                        readonly property real naturalWidth: {
                            let total = 2 * spacing
                            for (let i = 0; i < stats.values.length; ++i)
                                total += Math.max(valueMetrics.advanceWidth(stats.values[i]),
                                                  labelMetrics.advanceWidth(stats.labels[i]))
                            return total
                        }
                        readonly property int valuePixels: naturalWidth > root.innerWidth
                            ? Math.max(14, Math.floor(34 * (root.innerWidth - 2 * spacing) / (naturalWidth - 2 * spacing)))
                            : 34
                        Repeater {
                            model: stats.values.length
                            Column {
                                id: stat
                                required property int index
                                objectName: "splashStat" + index
                                spacing: 2
                                GradientText {
                                    objectName: "statValue"
                                    anchors.horizontalCenter: parent.horizontalCenter
                                    text: stats.values[stat.index]
                                    font.pixelSize: statRow.valuePixels
                                    font.weight: Font.Bold
                                }
                                Text {
                                    objectName: "statLabel"
                                    anchors.horizontalCenter: parent.horizontalCenter
                                    text: stats.labels[stat.index]
                                    font.pixelSize: 10
                                    font.weight: Font.DemiBold
                                    font.letterSpacing: 1.0
                                    color: Theme.text.tertiary
                                }
                            }
                        }
                    }
                }

                // 2. Divider.
                Item {
                    width: parent.width
                    height: 45
                    Rectangle {
                        anchors.verticalCenter: parent.verticalCenter
                        width: parent.width
                        height: 1
                        color: Theme.border.b1
                    }
                }

                // 3. Veltrano.
                Rectangle {
                    objectName: "upsellBox"
                    width: parent.width
                    height: upsellColumn.implicitHeight + 32
                    radius: 10
                    color: Theme.bg.surface1
                    border.width: 0.5
                    border.color: Theme.border.b1
                    Column {
                        id: upsellColumn
                        x: 16
                        y: 16
                        spacing: 12
                    Row {
                        id: upsellRow
                        spacing: 14
                        AppLogo {
                            size: 56
                        }
                        Column {
                            width: root.innerWidth - 32 - 56 - 14
                            spacing: 6
                            Text {
                                width: parent.width
                                text: L.splash.upsellTitle
                                wrapMode: Text.WordWrap
                                font.pixelSize: 15
                                font.weight: Font.DemiBold
                                color: Theme.text.primary
                            }
                            Text {
                                width: parent.width
                                text: L.splash.upsellBody
                                wrapMode: Text.WordWrap
                                lineHeight: 1.1
                                font.pixelSize: 13
                                color: Theme.text.secondary
                            }
                            Item { width: 1; height: 6 - parent.spacing }
                            PrimaryButton {
                                objectName: "upsellButton"
                                symbol: "arrow.down.app.fill"
                                text: L.splash.upsellButton
                                onClicked: AppModel.openAppStore("splash")
                            }
                        }
                    }
                    VeltranoRequirementsView {
                        width: root.innerWidth - 32
                        alignment: Qt.AlignLeft
                    }
                    }
                }

                // 4. Share row.
                Item { width: 1; height: 14 }
                Row {
                    anchors.horizontalCenter: parent.horizontalCenter
                    spacing: 14
                    Item {
                        objectName: "sharePreview"
                        width: 144
                        height: 76
                        anchors.verticalCenter: parent.verticalCenter
                        ShareCardItem {
                            anchors.fill: parent
                            appModel: AppModel
                            radius: 8
                        }
                        Rectangle {
                            anchors.fill: parent
                            radius: 8
                            color: "transparent"
                            border.width: 0.5
                            border.color: Theme.border.b2
                        }
                    }
                    Column {
                        width: Math.min(shareColumnNatural, root.innerWidth - 144 - 14)
                        readonly property real shareColumnNatural: Math.max(shareTitle.implicitWidth, shareBody.implicitWidth, shareButton.implicitWidth)
                        spacing: 4
                        anchors.verticalCenter: parent.verticalCenter
                        Text {
                            id: shareTitle
                            width: parent.width
                            text: L.splash.shareTitle
                            wrapMode: Text.WordWrap
                            font.pixelSize: 14
                            font.weight: Font.DemiBold
                            color: Theme.text.primary
                        }
                        Text {
                            id: shareBody
                            width: parent.width
                            text: L.splash.shareBody
                            wrapMode: Text.WordWrap
                            font.pixelSize: 12
                            color: Theme.text.secondary
                        }
                        Item { width: 1; height: 2 }
                        ShareActionButton {
                            id: shareButton
                            objectName: "shareResultButton"
                            kind: "result"
                            text: L.splash.shareButton
                        }
                    }
                }

                // 5. On to the results.
                Item { width: 1; height: 18 }
                Button {
                    objectName: "seeResultsButton"
                    anchors.horizontalCenter: parent.horizontalCenter
                    hoverEnabled: true
                    padding: 4
                    background: Item {}
                    id: seeResults
                    text: L.splash.seeResults
                    Accessible.name: text
                    contentItem: Text {
                        text: seeResults.text
                        font.pixelSize: 13
                        font.underline: seeResults.hovered
                        color: Theme.text.secondary
                    }
                    onClicked: root.continueToResults()
                }
            }
        }
    }

    // Widths of the values at full size and of the labels, to decide the values' size.
    FontMetrics {
        id: valueMetrics
        font.pixelSize: 34
        font.weight: Font.Bold
    }
    FontMetrics {
        id: labelMetrics
        font.pixelSize: 10
        font.weight: Font.DemiBold
        font.letterSpacing: 1.0
    }
}
