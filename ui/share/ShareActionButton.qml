import QtQuick
import Quorlix

// Placeholder until the share picker arrives: the look of the share button, and the model's
// items prepared on click so the funnel still sees the action.
SecondaryButton {
    id: control
    // "keepers" shares the kept photos, "result" the card and its caption.
    property string kind: "keepers"
    symbol: "square.and.arrow.up"
    onClicked: {
        if (kind === "result")
            AppModel.shareResultItems()
        else
            AppModel.shareKeepersItems()
    }
}
