import QtQuick
import Quorlix
import QuorlixTest

WindowTestCase {
    name: "MainWindow"

    function test_titleFolderChipAndScreensFollowTheModel() {
        compare(window.title, "Quorlix")
        verify(!find("folderChip").visible)
        verify(find("emptyState"))
        AppModel.startScan("file:///tmp/Holiday photos")
        compare(window.title, "Quorlix \u2014 Holiday photos")
        verify(find("folderChip").visible)
        tryVerify(() => find("scanProgress") !== null)
        AppModel.cancelScan()
        AppModel.newScan()
        compare(window.title, "Quorlix")
        tryVerify(() => find("emptyState") !== null)
    }

    function test_newScanButtonOnlyOnResultsAndTheStoreButtonAlways() {
        const button = find("newScanButton")
        verify(!button.visible)
        AppModel.screen = AppModel.Screen.splash
        verify(!button.visible)
        AppModel.screen = AppModel.Screen.results
        verify(button.visible)
        // The row lays out on the next polish: wait until the button has its place.
        tryVerify(() => find("getVeltranoButton").x > 0)
        mouseClick(button)
        compare(AppModel.screen, AppModel.Screen.empty)
        verify(!button.visible)
        mouseClick(find("getVeltranoButton"))
        compare(Harness.openedUrlCount, 1)
    }

    function test_toastTimerBelongsToItsToast() {
        const timer = findChild(window, "toastTimer")
        Harness.showToast("Caption copied to clipboard", false)
        compare(timer.interval, 2500)
        wait(1500)
        Harness.showToast("Caption copied to clipboard", false)
        const second = AppModel.toastId
        // The first toast's time is up now; the second must still be shown.
        wait(1300)
        verify(AppModel.hasToast)
        compare(AppModel.toastId, second)
        tryCompare(AppModel, "hasToast", false, 2500)
        // A notice with Undo stays longer.
        Harness.showToast("3 photos moved to the Trash", true)
        compare(timer.interval, 8000)
    }

    function test_errorAlertClearsTheMessage() {
        AppModel.errorMessage = "The folder could not be read. Check its permissions and try again."
        const alert = find("errorAlert") || findChild(window, "errorAlert")
        tryCompare(alert, "opened", true)
        mouseClick(findChild(alert.footer, "errorOk"))
        tryCompare(alert, "visible", false)
        compare(AppModel.errorMessage, "")
    }

    // Without a desktop chooser (no session bus here) the window's own dialog opens, in the
    // XDG Pictures folder or home; accepting it at once scans the folder it shows.
    function test_chooseFolderOpensTheFolderDialogAndScansWhatItShows() {
        mouseClick(find("chooseFolderButton"))
        const dialog = find("folderChooser") || findChild(window, "folderChooser")
        verify(dialog)
        tryCompare(dialog, "opened", true)
        compare(dialog.folder, FolderChoice.startFolder())
        dialog.reject()
        compare(AppModel.screen, AppModel.Screen.empty)
        mouseClick(find("chooseFolderButton"))
        tryCompare(dialog, "opened", true)
        mouseClick(findChild(dialog.footer, "folderAccept"))
        compare(AppModel.folder, dialog.folder)
        // The next choice starts where this one ended.
        compare(FolderChoice.startFolder(), dialog.folder)
        AppModel.cancelScan()
        AppModel.newScan()
    }
    function test_preferencesForgetTheCacheAndShowItsNewSize() {
        Harness.fillAnalysisCache(3 * 1024 * 1024)
        const dialog = findChild(window, "preferencesDialog")
        dialog.open()
        tryVerify(() => dialog.opened)
        const size = findChild(dialog.contentItem, "analysisCacheSize")
        const button = findChild(dialog.contentItem, "forgetCacheButton")
        compare(size.text, "Cached analyses: 3.1 MB")
        compare(button.Accessible.name, "Forget cached analyses")

        // A scan writes to the cache: it cannot be forgotten meanwhile.
        AppModel.startScan("file:///tmp")
        verify(!button.enabled)
        AppModel.cancelScan()
        AppModel.newScan()
        verify(button.enabled)

        mouseClick(button)
        compare(AppModel.analysisCacheBytes, 0)
        verify(size.text !== "Cached analyses: 3.1 MB")
        verify(!button.enabled)
        dialog.close()
    }
}
