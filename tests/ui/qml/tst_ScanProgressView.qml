import QtQuick
import QtTest
import Quorlix
import QuorlixTest

Item {
    id: root
    width: 800
    height: 600

    Component {
        id: viewComponent
        ScanProgressView { anchors.fill: parent }
    }

    TestCase {
        name: "ScanProgressView"
        when: windowShown

        function init() { Harness.reset() }

        function makeView(phase, current, total) {
            return createTemporaryObject(viewComponent, root, { phase: phase, current: current, total: total })
        }

        function test_spinnerWhileListingEvenWithATotal() {
            const view = makeView("enumerating", 3, 12)
            verify(findChild(view, "spinner").visible)
            verify(!findChild(view, "determinateBlock").visible)
        }

        function test_spinnerWithoutATotal() {
            const view = makeView("hashing", 0, 0)
            verify(findChild(view, "spinner").visible)
            verify(!findChild(view, "determinateBlock").visible)
        }

        function test_spinnerWhileGroupingAndScoring_data() {
            return [ { tag: "grouping", phase: "grouping" }, { tag: "scoring", phase: "scoring" } ]
        }
        function test_spinnerWhileGroupingAndScoring(data) {
            const view = makeView(data.phase, 1, 10)
            verify(findChild(view, "spinner").visible)
        }

        function test_barWithCounterAndSliver() {
            const view = makeView("hashing", 0, 10)
            verify(findChild(view, "determinateBlock").visible)
            verify(!findChild(view, "spinner").visible)
            compare(findChild(view, "counter").text, "0 of 10")
            tryCompare(findChild(view, "barFill"), "width", 8)
            view.phase = "analyzing"
            view.current = 5
            compare(findChild(view, "counter").text, "5 of 10")
            tryCompare(findChild(view, "barFill"), "width", 180)
            compare(findChild(view, "phaseLabel").text, "Analyzing images")
        }

        function test_readsTheModelsProgress() {
            AppModel.startScan("file:///tmp")
            const view = createTemporaryObject(viewComponent, root)
            Harness.reportProgress("analyzing", 2, 8)
            tryCompare(view, "phase", "analyzing")
            compare(findChild(view, "counter").text, "2 of 8")
        }

        function test_cancelReturnsToAnEmptyStart() {
            AppModel.startScan("file:///tmp")
            compare(AppModel.screen, AppModel.Screen.scanning)
            const view = createTemporaryObject(viewComponent, root)
            mouseClick(findChild(view, "cancelButton"))
            compare(AppModel.screen, AppModel.Screen.empty)
            compare(AppModel.folderName, "")
            verify(!AppModel.hasResult)
        }
    }
}
