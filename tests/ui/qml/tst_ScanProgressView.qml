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

        // Listing, even with a total, and the uncounted phases spin; so does a phase without
        // a total, which never divides.
        function test_spinnerUnlessCountedWithATotal_data() {
            return [ { tag: "listing", phase: "enumerating", current: 3, total: 12,
                       label: "Listing photos" },
                     { tag: "grouping", phase: "grouping", current: 1, total: 10,
                       label: "Grouping look-alikes" },
                     { tag: "scoring", phase: "scoring", current: 1, total: 10,
                       label: "Electing the best shot" },
                     { tag: "no total", phase: "hashing", current: 0, total: 0,
                       label: "Looking for exact copies" } ]
        }
        function test_spinnerUnlessCountedWithATotal(data) {
            const view = scanningView(data.phase, data.current, data.total)
            tryCompare(view, "phaseLabel", data.label)
            verify(!view.determinate)
            verify(findChild(view, "spinner").visible)
            verify(!findChild(view, "determinateBlock").visible)
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
