pragma Singleton
import QtQuick
import Quorlix

// Every colour, gradient, button look and animation curve of the screens. Colours come in a
// light and a dark appearance; Appearance.dark picks one (AppTheme, or the desktop's choice).
// Materials are semi-transparent fills over bg.window, so nothing depends on blur.
QtObject {
    id: theme

    readonly property bool dark: Appearance.dark

    // Typed groups, so that every use of a colour name is checked.
    component Backgrounds: QtObject {
        property color window
        property color toolbar
        property color sheet
        property color popover
        property color sidebar
        property color surface1
        property color surface2
        property color surface3
        // The same three surfaces under their second names.
        readonly property color surfaceLow: surface1
        readonly property color surfaceMid: surface2
        readonly property color surfaceHigh: surface3
    }

    component Accents: QtObject {
        property color primary
        property color soft
    }

    component Statuses: QtObject {
        property color green
        property color orange
        property color red
        property color yellow
    }

    component Texts: QtObject {
        property color primary
        property color secondary
        property color tertiary
        property color quaternary
    }

    component Borders: QtObject {
        property color b1
        property color b2
        property color b3
        property color accent
    }

    function pick(light, darkValue) { return theme.dark ? darkValue : light }

    readonly property Backgrounds bg: Backgrounds {
        window: theme.pick("#f5f4fa", "#121118")
        toolbar: theme.pick(Qt.rgba(1, 1, 1, 0.74), Qt.rgba(0.12, 0.115, 0.155, 0.80))
        sheet: theme.pick("#ffffff", "#1c1b24")
        popover: theme.pick("#ffffff", "#23222c")
        sidebar: theme.pick("#eeedf5", "#18171f")
        surface1: theme.pick(Qt.rgba(0.988, 0.988, 1.0, 0.86), Qt.rgba(0.086, 0.082, 0.114, 0.86))
        surface2: theme.pick("#f0eff6", "#25242f")
        surface3: theme.pick("#e3e1ec", "#33313f")
    }

    readonly property Accents accent: Accents {
        primary: theme.pick("#6a5cf0", "#9d90ff")
        soft: theme.pick(Qt.rgba(0.482, 0.424, 0.965, 0.11), Qt.rgba(0.616, 0.565, 1.0, 0.16))
    }

    readonly property Statuses status: Statuses {
        green: theme.pick("#1e9e5a", "#3ecf8e")
        orange: theme.pick("#d9730d", "#fb9a4b")
        red: theme.pick("#d93636", "#f87171")
        yellow: theme.pick("#c28a05", "#f5c84b")
    }

    readonly property Texts text: Texts {
        primary: theme.pick("#1a1923", "#f1f0f7")
        secondary: theme.pick("#525066", "#b6b4c7")
        tertiary: theme.pick("#83819a", "#83819a")
        quaternary: theme.pick("#adabbf", "#57556a")
    }

    readonly property Borders border: Borders {
        b1: theme.pick(Qt.rgba(0.10, 0.10, 0.14, 0.09), Qt.rgba(1, 1, 1, 0.08))
        b2: theme.pick(Qt.rgba(0.10, 0.10, 0.14, 0.15), Qt.rgba(1, 1, 1, 0.13))
        b3: theme.pick(Qt.rgba(0.10, 0.10, 0.14, 0.24), Qt.rgba(1, 1, 1, 0.22))
        accent: theme.pick("#7b6cf6", "#9d90ff")
    }

    // A colour by its resource name ("bg.surface.1", "border.accent"); transparent if unknown.
    function color(name) {
        const table = {
            "bg.window": bg.window, "bg.toolbar": bg.toolbar, "bg.sheet": bg.sheet,
            "bg.popover": bg.popover, "bg.sidebar": bg.sidebar, "bg.surface.1": bg.surface1,
            "bg.surface.2": bg.surface2, "bg.surface.3": bg.surface3,
            "accent.primary": accent.primary, "accent.soft": accent.soft,
            "status.green": status.green, "status.orange": status.orange,
            "status.red": status.red, "status.yellow": status.yellow,
            "text.primary": text.primary, "text.secondary": text.secondary,
            "text.tertiary": text.tertiary, "text.quaternary": text.quaternary,
            "border.1": border.b1, "border.2": border.b2, "border.3": border.b3,
            "border.accent": border.accent
        }
        return table[name] !== undefined ? table[name] : "transparent"
    }

    readonly property color shadow: Qt.rgba(0, 0, 0, 0.15)

    // "#7b6cf6" → an opaque colour; text that does not parse gives black.
    function hex(text) { return ViewLogic.hexColor(text) }

    // Top-leading to bottom-trailing; the only loud colour of the interface.
    readonly property var brandStops: [ "#a855f7", "#7b6cf6", "#3b82f6" ]
    readonly property var softBrandStops: [ Qt.rgba(0.659, 0.333, 0.969, 0.18), Qt.rgba(0.231, 0.510, 0.965, 0.18) ]

    // Springs as SpringAnimation parameters (see ViewLogic::springParameters for the mapping
    // from response and damping fraction).
    readonly property var screenSpring: ViewLogic.springParameters(0.45, 0.85)
    readonly property var quickSpring: ViewLogic.springParameters(0.35, 0.75)

    readonly property string fontFamily: Application.font.family
}
