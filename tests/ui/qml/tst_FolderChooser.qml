import QtQuick
import QtTest
import Quorlix
import QuorlixTest

// The window's own folder dialog answers with the folder it shows, never a highlighted row.
TestCase {
    id: testCase
    name: "FolderChooser"
    when: windowShown
    width: 800
    height: 600

    Component {
        id: chooserComponent
        FolderChooser {
            title: "Choose folder"
            acceptLabel: "Choose folder"
            canCreateFolders: true
        }
    }
    SignalSpy { id: spy; signalName: "chosen" }

    property var chooser: null
    function type(text) {
        for (const c of text)
            keyClick(c)
    }
    property url base

    function init() {
        Harness.reset()
        base = Harness.destinationFolder()
        // Subfolders that sort first: the stock dialog used to pick the first of them.
        verify(FolderChoice.createFolder(base, "aaa-sub").toString() !== "")
        verify(FolderChoice.createFolder(base, "Backup 2023").toString() !== "")
        chooser = chooserComponent.createObject(testCase)
        spy.clear()
        spy.target = chooser
        chooser.openAt(base)
        tryCompare(chooser, "opened", true)
        const list = findChild(chooser.contentItem, "folderList")
        tryCompare(list, "count", 2)
    }
    function cleanup() {
        chooser.close()
        chooser.destroy()
        chooser = null
    }

    function test_aSelectedRowIsNavigationOnly() {
        const list = findChild(chooser.contentItem, "folderList")
        // The rows are made after the count is known.
        tryVerify(() => list.itemAtIndex(0) !== null)
        mouseClick(list.itemAtIndex(0))
        compare(list.currentIndex, 0)
        mouseClick(findChild(chooser.footer, "folderAccept"))
        compare(spy.count, 1)
        compare(spy.signalArguments[0][0], base)
        tryCompare(chooser, "visible", false)
    }

    function test_aTypedPathIsAcceptedWithoutReturnAndAPathToNothingRefused() {
        const field = findChild(chooser.contentItem, "folderPath")
        field.text = "/no/such/folder/here"
        mouseClick(findChild(chooser.footer, "folderAccept"))
        compare(spy.count, 0)
        verify(chooser.visible)
        verify(findChild(chooser.contentItem, "folderProblem").visible)
        field.forceActiveFocus()
        field.selectAll()
        keyClick(Qt.Key_Delete)
        type(decodeURIComponent(base.toString().replace("file://", "")) + "/Backup 2023")
        mouseClick(findChild(chooser.footer, "folderAccept"))
        compare(spy.count, 1)
        compare(spy.signalArguments[0][0], FolderChoice.resolve("Backup 2023", base))
    }

    function test_aNewFolderIsMadeAndShown() {
        mouseClick(findChild(chooser.contentItem, "newFolderButton"))
        const name = findChild(chooser.contentItem, "newFolderName")
        tryVerify(() => name.activeFocus)
        type("Sorted")
        keyClick(Qt.Key_Return)
        compare(Harness.entryCount(base), 3)
        compare(chooser.folder, FolderChoice.resolve("Sorted", base))
        mouseClick(findChild(chooser.footer, "folderAccept"))
        compare(spy.signalArguments[0][0], FolderChoice.resolve("Sorted", base))
    }
}
