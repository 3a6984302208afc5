import QtQuick
import Quorlix

// A SpringAnimation tuned to one of the theme's springs (Theme.quickSpring by default).
SpringAnimation {
    property var curve: Theme.quickSpring
    spring: curve.spring
    damping: curve.damping
    mass: curve.mass
    epsilon: curve.epsilon
}
