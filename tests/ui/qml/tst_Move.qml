import QtQuick
import Quorlix
import QuorlixTest

WindowTestCase {
    name: "Move"

    // The notice after moving `count` photos to `destination`, which it names.
    function movedTo(count, destination) {
        return count + " photos moved to \u201c" + destination.toString().split("/").pop() + "\u201d"
    }

    // A result of real files on the results screen: a group of copies with `exactOthers`
    // besides its keeper, a burst with `nearOthers` (none when 0); returns the confirmation.
    function showResults(exactOthers, nearOthers) {
        const groups = [ { kind: "exact", members: [] }, { kind: "near", members: [] } ]
        for (let i = 0; i <= exactOthers && exactOthers > 0; ++i)
            groups[0].members.push("copy" + i + ".jpg")
        for (let i = 0; i <= nearOthers && nearOthers > 0; ++i)
            groups[1].members.push("burst" + i + ".jpg")
        verify(Harness.showResult(groups, groups[0].members.length + groups[1].members.length))
        tryVerify(() => find("moveConfirm") !== null, 5000)
        return find("moveConfirm")
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

    // The last move stays undoable after its notice has gone, until the next move or scan.
    function test_ctrlZUndoesTheLastMoveAfterItsNotice() {
        const card = showResults(1, 0)
        const destination = Harness.destinationFolder()
        AppModel.requestMoveToFolder(destination)
        tryVerify(() => card.opacity > 0.99)
        mouseClick(findChild(card, "moveConfirmButton"))
        tryVerify(() => !AppModel.moveInProgress, 20000)
        compare(Harness.entryCount(destination), 1)
        const undo = find("undoButton")
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
        const newScan = find("newScanButton")
        verify(!newScan.enabled)
        verify(!find("groupList").enabled)
        verify(!find("resultsHeader").enabled)
        // The bar looks as silenced as it is: the backdrop's dimming covers it too.
        const barBackdrop = find("topBarBackdrop")
        tryVerify(() => barBackdrop.opacity > 0.99)
        const bar = find("topBar")
        compare(barBackdrop.mapToItem(null, 0, 0).y, bar.mapToItem(null, 0, 0).y)
        compare(barBackdrop.width, bar.width)
        compare(barBackdrop.height, bar.height)
        keyClick(Qt.Key_Escape)
        verify(!AppModel.hasPendingMove)
        verify(newScan.enabled)
        tryVerify(() => !barBackdrop.visible)
        // A click on the card itself changes nothing; one beside it, or on the dimmed bar,
        // cancels.
        AppModel.requestMoveToTrash()
        tryVerify(() => card.opacity > 0.99 && barBackdrop.opacity > 0.99)
        mouseClick(findChild(card, "moveConfirmCard"), 5, 5)
        verify(AppModel.hasPendingMove)
        mouseClick(findChild(card, "moveBackdrop"), 8, 8)
        verify(!AppModel.hasPendingMove)
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
        const text = find("toastText")
        // Which slice shows depends on how long the key took to reach the window.
        verify(/^Move \u00b7 [1-3] of 3$/.test(text.text), text.text)
        // The notice rises into view.
        tryVerify(() => find("moveProgressBar").visible)
        verify(!find("undoButton").visible)
        // A second move is refused while this one runs.
        AppModel.requestMoveToTrash()
        verify(!AppModel.hasPendingMove)
        tryVerify(() => !AppModel.moveInProgress, 20000)
        compare(text.text, movedTo(3, destination))
        compare(Harness.entryCount(destination), 3)
        const undo = find("undoButton")
        verify(undo.visible)
        mouseClick(undo)
        verify(AppModel.moveInProgress)
        verify(/^Undo \u00b7 [1-3] of 3$/.test(text.text), text.text)
        tryVerify(() => !AppModel.moveInProgress, 20000)
        compare(Harness.entryCount(destination), 0)
        compare(text.text, "3 photos put back")
        verify(!undo.visible)
        compare(AppModel.exactDuplicateCount, 3)
    }
}
