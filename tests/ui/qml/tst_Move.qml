import QtQuick
import QtTest
import Quorlix
import QuorlixTest

TestCase {
    id: testCase
    name: "Move"
    when: windowShown

    property var window: null

    function init() {
        Harness.reset()
        const component = Qt.createComponent("qrc:/Quorlix/Main.qml")
        compare(component.status, Component.Ready, component.errorString())
        window = component.createObject(null)
        verify(window)
        waitForRendering(window.contentItem)
        // Keys go to the active window.
        window.requestActivate()
        tryVerify(() => window.active, 10000)
    }
    function cleanup() {
        window.visible = false
        window.destroy()
        window = null
    }

    // A result of real files on the results screen.
    // The notice after moving `count` photos to `destination`, which it names.
    function movedTo(count, destination) {
        return count + " photos moved to \u201c" + destination.toString().split("/").pop() + "\u201d"
    }

    function showResults(exactOthers, nearOthers) {
        Harness.loadResult(exactOthers, nearOthers)
        tryVerify(() => AppModel.screen === AppModel.Screen.splash, 10000)
        AppModel.screen = AppModel.Screen.results
        tryVerify(() => findChild(window.contentItem, "moveConfirm") !== null, 5000)
        return findChild(window.contentItem, "moveConfirm")
    }

    function test_onlyExactShowsNoLookAlikeLine() {
        const card = showResults(2, 0)
        verify(!card.visible)
        AppModel.requestMoveToTrash()
        tryVerify(() => card.visible && card.opacity > 0.99)
        verify(findChild(card, "moveExactLine").visible)
        verify(!findChild(card, "moveNearLine").visible)
        verify(findChild(card, "moveKeeperLine").visible)
        verify(!findChild(card, "moveFolderPath").visible)
        compare(findChild(card, "moveTitle").text, "Move the others to the Trash?")
        verify(findChild(card, "moveExactLine").text.startsWith("2 exact copies ("))
        keyClick(Qt.Key_Escape)
        verify(!AppModel.hasPendingMove)
        tryVerify(() => !card.visible)
        compare(AppModel.exactDuplicateCount, 2)
    }

    function test_bothLinesAndTheFolderPath() {
        const card = showResults(1, 3)
        const destination = Harness.destinationFolder()
        AppModel.requestMoveToFolder(destination)
        tryVerify(() => card.visible)
        verify(findChild(card, "moveExactLine").text.startsWith("1 exact copies ("))
        verify(findChild(card, "moveNearLine").text.startsWith("3 similar shots ("))
        const path = findChild(card, "moveFolderPath")
        verify(path.visible)
        compare(path.text, destination.toString().replace("file://", ""))
        compare(findChild(card, "moveTitle").text, "Move the others to the folder?")
        mouseClick(findChild(card, "moveCancel"))
        verify(!AppModel.hasPendingMove)
    }

    function test_backdropClickCancels() {
        const card = showResults(1, 1)
        AppModel.requestMoveToTrash()
        tryVerify(() => card.opacity > 0.99)
        // A click on the card itself changes nothing.
        mouseClick(findChild(card, "moveConfirmCard"), 5, 5)
        verify(AppModel.hasPendingMove)
        mouseClick(findChild(card, "moveBackdrop"), 8, 8)
        verify(!AppModel.hasPendingMove)
    }

    function test_returnMovesAndUndoPutsBack() {
        const card = showResults(2, 1)
        const destination = Harness.destinationFolder()
        AppModel.requestMoveToFolder(destination)
        tryVerify(() => card.opacity > 0.99)
        keyClick(Qt.Key_Return)
        verify(!AppModel.hasPendingMove)
        tryVerify(() => !AppModel.moveInProgress, 20000)
        compare(Harness.entryCount(destination), 3)
        compare(AppModel.toastText, movedTo(3, destination))
        const undo = findChild(window.contentItem, "undoButton")
        tryVerify(() => undo.visible)
        mouseClick(undo)
        compare(Harness.entryCount(destination), 0)
        compare(AppModel.toastText, "3 photos put back")
        verify(!undo.visible)
        compare(AppModel.exactDuplicateCount, 2)
    }

    // The last move stays undoable after its notice has gone, until the next move or scan.
    function test_ctrlZUndoesTheLastMoveAfterItsNotice() {
        const card = showResults(1, 0)
        const destination = Harness.destinationFolder()
        AppModel.requestMoveToFolder(destination)
        tryVerify(() => card.opacity > 0.99)
        mouseClick(findChild(card, "moveConfirmButton"))
        tryVerify(() => !AppModel.moveInProgress, 20000)
        compare(Harness.entryCount(destination), 1)
        const undo = findChild(window.contentItem, "undoButton")
        tryVerify(() => undo.visible)
        // A plain notice replaces the move's: no Undo button, but Ctrl+Z still undoes.
        Harness.showToast("Caption copied to clipboard", false)
        verify(!undo.visible)
        verify(AppModel.canUndo)
        keyClick(Qt.Key_Z, Qt.ControlModifier)
        tryVerify(() => !AppModel.moveInProgress, 20000)
        verify(!AppModel.canUndo)
        compare(Harness.entryCount(destination), 0)
        compare(AppModel.toastText, "1 photos put back")
        // Nothing left to undo: Ctrl+Z does nothing.
        keyClick(Qt.Key_Z, Qt.ControlModifier)
        compare(AppModel.toastText, "1 photos put back")
    }

    // While the confirmation is open, "Scan another folder" and the results cannot be reached.
    function test_theTopBarAndResultsAreInertDuringAConfirmation() {
        const card = showResults(1, 0)
        AppModel.requestMoveToTrash()
        tryVerify(() => card.opacity > 0.99)
        const newScan = findChild(window.contentItem, "newScanButton")
        verify(!newScan.enabled)
        verify(!findChild(window.contentItem, "groupList").enabled)
        verify(!findChild(window.contentItem, "resultsHeader").enabled)
        // The bar looks as silenced as it is: the backdrop's dimming covers it too.
        const barBackdrop = findChild(window.contentItem, "topBarBackdrop")
        tryVerify(() => barBackdrop.opacity > 0.99)
        const bar = findChild(window.contentItem, "topBar")
        compare(barBackdrop.mapToItem(null, 0, 0).y, bar.mapToItem(null, 0, 0).y)
        compare(barBackdrop.width, bar.width)
        compare(barBackdrop.height, bar.height)
        keyClick(Qt.Key_Escape)
        verify(!AppModel.hasPendingMove)
        verify(newScan.enabled)
        tryVerify(() => !barBackdrop.visible)
        // A click on the dimmed bar cancels, as one beside the card does.
        AppModel.requestMoveToTrash()
        tryVerify(() => barBackdrop.opacity > 0.99)
        mouseClick(barBackdrop, 8, 8)
        verify(!AppModel.hasPendingMove)
    }

    function test_aLongMoveShowsItsProgressAndNoUndo() {
        const card = showResults(3, 0)
        const destination = Harness.destinationFolder()
        Harness.setMoveSlicing(1, 300)
        AppModel.requestMoveToFolder(destination)
        tryVerify(() => card.opacity > 0.99)
        keyClick(Qt.Key_Return)
        verify(AppModel.moveInProgress)
        const text = findChild(window.contentItem, "toastText")
        // Which slice shows depends on how long the key took to reach the window.
        verify(/^Move \u00b7 [1-3] of 3$/.test(text.text), text.text)
        // The notice rises into view.
        tryVerify(() => findChild(window.contentItem, "moveProgressBar").visible)
        verify(!findChild(window.contentItem, "undoButton").visible)
        // A second move is refused while this one runs.
        AppModel.requestMoveToTrash()
        verify(!AppModel.hasPendingMove)
        tryVerify(() => !AppModel.moveInProgress, 20000)
        compare(text.text, movedTo(3, destination))
        compare(Harness.entryCount(destination), 3)
        verify(findChild(window.contentItem, "undoButton").visible)
        keyClick(Qt.Key_Z, Qt.ControlModifier)
        verify(AppModel.moveInProgress)
        verify(/^Undo \u00b7 [1-3] of 3$/.test(text.text), text.text)
        tryVerify(() => !AppModel.moveInProgress, 20000)
        compare(Harness.entryCount(destination), 0)
        compare(text.text, "3 photos put back")
    }
}
