import QtQuick
import QtTest
import Quorlix
import QuorlixTest

Item {
    id: root
    width: 700
    height: 500

    Component {
        id: teaserComponent
        VeltranoTeaserView { x: 40; y: 40; width: 520 }
    }

    TestCase {
        name: "VeltranoTeaserView"
        when: windowShown

        function init() { Harness.reset() }

        function makeTeaser(interval) {
            const teaser = createTemporaryObject(teaserComponent, root,
                                                 { advanceInterval: interval || 60000 })
            verify(teaser)
            waitForRendering(teaser)
            return teaser
        }

        function test_theArrowsWrapBothWays() {
            const teaser = makeTeaser()
            compare(teaser.count, 8)
            teaser.forceActiveFocus()
            keyClick(Qt.Key_Left)
            compare(teaser.shown, 7)
            compare(teaser.current.question, L.teaser.freeQ)
            tryVerify(() => findChild(teaser, "currentTeaser") !== null)
            keyClick(Qt.Key_Right)
            compare(teaser.shown, 0)
            compare(teaser.current.id, 0)
            // An index grown by automatic steps still steps to its neighbour.
            teaser.index = 15
            keyClick(Qt.Key_Right)
            compare(teaser.shown, 0)
        }

        function test_chevronsStepAndTheCallToActionOpensTheStore() {
            const teaser = makeTeaser()
            mouseClick(findChild(teaser, "teaserNext"))
            mouseClick(findChild(teaser, "teaserNext"))
            compare(teaser.shown, 2)
            mouseClick(findChild(teaser, "teaserPrevious"))
            compare(teaser.shown, 1)
            mouseClick(findChild(teaser, "teaserCta"))
            compare(Harness.openedUrlCount, 1)
        }

        function test_hoverHoldsTheTeaser() {
            const teaser = makeTeaser(150)
            mouseMove(teaser, 30, 30)
            tryCompare(teaser, "hovering", true)
            const held = teaser.index
            wait(500)
            compare(teaser.index, held)
            mouseMove(root, root.width - 5, root.height - 5)
            tryCompare(teaser, "hovering", false)
            tryVerify(() => teaser.index > held, 2000)
        }

        function test_dotClickWaitsAFullInterval() {
            const teaser = makeTeaser(700)
            mouseMove(root, root.width - 5, root.height - 5)
            tryCompare(teaser, "index", 1, 3000)
            // The next automatic step would come 700 ms after the last one; a click in
            // between starts a full wait of its own.
            wait(450)
            mouseClick(findChild(teaser, "teaserDot5"))
            compare(teaser.index, 5)
            wait(400)
            compare(teaser.index, 5)
            tryCompare(teaser, "index", 6, 2000)
        }
    }
}
