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

        function makeView(determinate, current, total) {
            return createTemporaryObject(viewComponent, root,
                                         { determinate: determinate, current: current, total: total })
        }

        // The model's progress as the scan reports it, phase by name.
        function scanningView(phase, current, total) {
            AppModel.startScan("file:///tmp")
            const view = createTemporaryObject(viewComponent, root)
            Harness.reportProgress(phase, current, total)
            tryCompare(view, "current", current)
            tryCompare(view, "total", total)
            return view
        }

        function test_spinnerWhileListingEvenWithATotal() {
            const view = scanningView("enumerating", 3, 12)
            verify(!view.determinate)
            verify(findChild(view, "spinner").visible)
            verify(!findChild(view, "determinateBlock").visible)
        }

        function test_spinnerWithoutATotal() {
            const view = makeView(false, 0, 0)
            verify(findChild(view, "spinner").visible)
            verify(!findChild(view, "determinateBlock").visible)
        }

        function test_spinnerWhileGroupingAndScoring_data() {
            return [ { tag: "grouping", phase: "grouping" }, { tag: "scoring", phase: "scoring" } ]
        }
        function test_spinnerWhileGroupingAndScoring(data) {
            const view = scanningView(data.phase, 1, 10)
            verify(!view.determinate)
            verify(findChild(view, "spinner").visible)
        }

        function test_barWithCounterAndSliver() {
            const view = makeView(true, 0, 10)
            verify(findChild(view, "determinateBlock").visible)
            verify(!findChild(view, "spinner").visible)
            compare(findChild(view, "counter").text, "0 of 10")
            tryCompare(findChild(view, "barFill"), "width", 8)
            view.phaseLabel = "Analyzing images"
            view.current = 5
            compare(findChild(view, "counter").text, "5 of 10")
            tryCompare(findChild(view, "barFill"), "width", 180)
            compare(findChild(view, "phaseLabel").text, "Analyzing images")
        }

        function test_readsTheModelsProgress() {
            const view = scanningView("analyzing", 2, 8)
            verify(view.determinate)
            compare(findChild(view, "phaseLabel").text, "Analyzing images")
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
