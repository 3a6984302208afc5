import QtQuick
import QtTest
import Quorlix
import QuorlixTest

TestCase {
    id: testCase
    name: "Splash"
    when: windowShown

    property var window: null

    function init() {
        Harness.reset()
        const component = Qt.createComponent("qrc:/Quorlix/Main.qml")
        compare(component.status, Component.Ready, component.errorString())
        window = component.createObject(null)
        verify(window)
        waitForRendering(window.contentItem)
    }
    function cleanup() {
        window.visible = false
        window.destroy()
        window = null
    }

    // Finishes a scan and waits until the splash has fully arrived.
    function showSplash(exactCopies, bytesEach, nearCopies, totalPhotos) {
        Harness.finishScan(exactCopies, bytesEach, nearCopies, totalPhotos)
        tryCompare(AppModel, "screen", AppModel.Screen.splash, 5000)
        const splash = findChild(window.contentItem, "resultSplash")
        tryVerify(() => splash.opacity > 0.999 && splash.scale > 0.999, 5000)
        waitForRendering(window.contentItem)
        return splash
    }

    function stat(index) {
        const column = findChild(window.contentItem, "splashStat" + index)
        verify(column, "stat " + index)
        return { value: findChild(column, "statValue").text, label: findChild(column, "statLabel").text }
    }

    function test_splashOnlyOnItsScreen() {
        const splash = findChild(window.contentItem, "resultSplash")
        verify(!splash.visible)
        showSplash(2, 1000000, 0, 5)
        verify(splash.visible)
        verify(findChild(window.contentItem, "splashCard").visible)
    }

    function test_statsShown() {
        showSplash(12, 1000000, 0, 40)
        compare(stat(0).value, "12")
        compare(stat(0).label, "DUPLICATES")
        compare(stat(1).value, "12 MB")
        compare(stat(1).label, "RECLAIMABLE")
        compare(stat(2).value, "40")
        compare(stat(2).label, "PHOTOS SCANNED")
        compare(findChild(window.contentItem, "splashTitle").text, "Done!")
    }

    function test_zeroMegabytesWithoutExactGroups() {
        showSplash(0, 5000000, 3, 10)
        compare(stat(0).value, "3")
        compare(stat(1).value, "0 MB")
        compare(stat(2).value, "10")
    }

    function test_largeNumbersShrinkToFitTheCard() {
        showSplash(1500, 2000000000, 0, 123456789012)
        const row = findChild(window.contentItem, "splashStats")
        const card = findChild(window.contentItem, "splashCard")
        verify(row.valuePixels < 34)
        verify(row.width <= card.width - 72 + 0.5, row.width + " > " + (card.width - 72))
        // Grouped as the interface language writes numbers.
        compare(stat(2).value.replace(/[^0-9]/g, ""), "123456789012")
    }

    function test_backdropGoesToResults() {
        showSplash(2, 1000000, 0, 5)
        // Inside the card nothing happens; outside it, the backdrop continues.
        const card = findChild(window.contentItem, "splashCard")
        mouseClick(card, 10, 10)
        compare(AppModel.screen, AppModel.Screen.splash)
        mouseClick(findChild(window.contentItem, "splashBackdrop"), 4, 4)
        compare(AppModel.screen, AppModel.Screen.results)
        const splash = findChild(window.contentItem, "resultSplash")
        tryVerify(() => !splash.visible, 5000)
    }

    function test_seeResultsGoesToResults() {
        showSplash(2, 1000000, 0, 5)
        mouseClick(findChild(window.contentItem, "seeResultsButton"))
        compare(AppModel.screen, AppModel.Screen.results)
    }

    function test_upsellOpensTheStore() {
        showSplash(2, 1000000, 0, 5)
        mouseClick(findChild(window.contentItem, "upsellButton"))
        compare(Harness.openedUrlCount, 1)
        verify(Harness.logged("appstore_click source=splash"))
        compare(AppModel.screen, AppModel.Screen.splash)
    }

    function test_requirementsInTheUpsell() {
        showSplash(2, 1000000, 0, 5)
        const req = findChild(findChild(window.contentItem, "upsellBox"), "veltranoRequirements")
        verify(req)
        verify(findChild(req, "requirementsLine").visible)
        compare(findChild(req, "requirementsReason").text, "Veltrano runs on a Mac with Apple silicon.")
        verify(!findChild(req, "requirementsCompatible").visible)
    }

    function test_shareOpensThePicker() {
        showSplash(2, 1000000, 0, 5)
        const button = findChild(window.contentItem, "shareResultButton")
        mouseClick(button)
        const popup = button.popup
        tryVerify(() => popup.opened, 3000)
        compare(AppModel.toastText, "Caption copied to clipboard")
        compare(button.picker.items.length, 1)
        verify(findChild(popup.contentItem, "shareCopy").visible)
        verify(findChild(popup.contentItem, "shareReveal").visible)
        verify(findChild(popup.contentItem, "shareSave").visible)
        // A press outside closes it, and the card stays.
        mouseClick(findChild(window.contentItem, "splashTitle"))
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
