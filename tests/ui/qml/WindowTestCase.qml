import QtQuick
import QtTest
import QuorlixTest

// A test case on the application's own window, made anew and made active (so that keys reach
// it) for each test; `find` looks an item up by its object name.
TestCase {
    when: windowShown

    property var window: null

    function init() {
        Harness.reset()
        const component = Qt.createComponent("qrc:/Quorlix/Main.qml")
        compare(component.status, Component.Ready, component.errorString())
        window = component.createObject(null)
        verify(window)
        waitForRendering(window.contentItem)
        window.requestActivate()
        tryVerify(() => window.active, 10000)
    }
    function cleanup() {
        // Unmapped at once: destroy() is deferred, and a lingering window would take clicks.
        window.visible = false
        window.destroy()
        window = null
    }
    function find(name) { return findChild(window.contentItem, name) }
}
