import QtQuick
import Quorlix
import QuorlixTest

WindowTestCase {
    name: "Splash"

    // Finishes a scan and waits until the splash has fully arrived.
    function showSplash(exactCopies, bytesEach, nearCopies, totalPhotos) {
        Harness.finishScan(exactCopies, bytesEach, nearCopies, totalPhotos)
        tryCompare(AppModel, "screen", AppModel.Screen.splash, 5000)
        const splash = find("resultSplash")
        tryVerify(() => splash.opacity > 0.999 && splash.scale > 0.999, 5000)
        waitForRendering(window.contentItem)
        return splash
    }

    function stat(index) {
        const column = find("splashStat" + index)
        verify(column, "stat " + index)
        return { value: findChild(column, "statValue").text, label: findChild(column, "statLabel").text }
    }

    function test_statsShown_data() {
        return [ { tag: "copies", exact: 12, bytes: 1000000, near: 0, total: 40,
                   values: [ "12", "12 MB", "40" ] },
                 // Only exact copies are reclaimable.
                 { tag: "look-alikes only", exact: 0, bytes: 5000000, near: 3, total: 10,
                   values: [ "3", "0 MB", "10" ] } ]
    }
    function test_statsShown(data) {
        const splash = find("resultSplash")
        verify(!splash.visible)
        showSplash(data.exact, data.bytes, data.near, data.total)
        verify(find("splashCard").visible)
        compare(find("splashTitle").text, "Done!")
        const labels = [ "DUPLICATES", "RECLAIMABLE", "PHOTOS SCANNED" ]
        for (let i = 0; i < 3; ++i) {
            compare(stat(i).value, data.values[i])
            compare(stat(i).label, labels[i])
        }
    }

    function test_largeNumbersShrinkToFitTheCard() {
        showSplash(1500, 2000000000, 0, 123456789012)
        const row = find("splashStats")
        const card = find("splashCard")
        verify(row.valuePixels < 34)
        verify(row.width <= card.width - 72 + 0.5, row.width + " > " + (card.width - 72))
        // Grouped as the interface language writes numbers.
        compare(stat(2).value.replace(/[^0-9]/g, ""), "123456789012")
    }

    function test_backdropAndSeeResultsGoToResults() {
        const splash = showSplash(2, 1000000, 0, 5)
        // Inside the card nothing happens; outside it, the backdrop continues.
        mouseClick(find("splashCard"), 10, 10)
        compare(AppModel.screen, AppModel.Screen.splash)
        mouseClick(find("splashBackdrop"), 4, 4)
        compare(AppModel.screen, AppModel.Screen.results)
        tryVerify(() => !splash.visible, 5000)
        AppModel.screen = AppModel.Screen.splash
        tryVerify(() => splash.opacity > 0.999 && splash.scale > 0.999, 5000)
        mouseClick(find("seeResultsButton"))
        compare(AppModel.screen, AppModel.Screen.results)
    }

    function test_upsellNamesTheRequirementsAndOpensTheStore() {
        showSplash(2, 1000000, 0, 5)
        const req = findChild(find("upsellBox"), "veltranoRequirements")
        verify(findChild(req, "requirementsLine").visible)
        compare(findChild(req, "requirementsReason").text, "Veltrano runs on a Mac with Apple silicon.")
        verify(!findChild(req, "requirementsCompatible").visible)
        mouseClick(find("upsellButton"))
        compare(Harness.openedUrlCount, 1)
        verify(Harness.logged("appstore_click source=splash"))
        compare(AppModel.screen, AppModel.Screen.splash)
    }

    function test_shareOpensThePicker() {
        showSplash(2, 1000000, 0, 5)
        const button = find("shareResultButton")
        mouseClick(button)
        const popup = button.popup
        tryVerify(() => popup.opened, 3000)
        compare(AppModel.toastText, "Caption copied to clipboard")
        compare(button.picker.items.length, 1)
        verify(findChild(popup.contentItem, "shareCopy").visible)
        verify(findChild(popup.contentItem, "shareReveal").visible)
        verify(findChild(popup.contentItem, "shareSave").visible)
        // A press outside closes it, and the card stays.
        mouseClick(find("splashTitle"))
        tryVerify(() => !popup.visible, 3000)
        compare(AppModel.screen, AppModel.Screen.splash)
    }

    // The results screen's button: the kept photos, one per group.
    function test_keepersButtonOffersTheKeptFiles() {
        showSplash(2, 1000000, 3, 9)
        AppModel.screen = AppModel.Screen.results
        const component = Qt.createComponent("qrc:/Quorlix/share/ShareActionButton.qml")
        compare(component.status, Component.Ready, component.errorString())
        const button = component.createObject(window.contentItem, {
            objectName: "shareKeepersButton", text: L.results.shareKeepers, kind: "keepers",
            x: 40, y: 120 })
        verify(button)
        mouseClick(button)
        tryVerify(() => button.popup.opened, 3000)
        compare(button.picker.items.length, 2)
        compare(findChild(button.popup.contentItem, "shareCopy").text, "Copy files")
        verify(Harness.logged("share_keepers n=2"))
        button.popup.close()
        button.destroy()
    }
}
