pragma Singleton
import QtQuick

// Colours and type of the whole front end, in one place.
QtObject {
    readonly property color background: "#f4f4f4"
    readonly property color navigation: "#2fb3a6"
    readonly property color navigationText: "white"
    readonly property color text: "#333333"
    readonly property color secondaryText: "#888888"
    readonly property color placeholder: "#b0b0b0"
    readonly property color accent: "#f5a623"
    readonly property color separator: "#e2e2e2"
    readonly property color success: "#2fb3a6"
    readonly property color error: "#d9534f"
    readonly property color warning: "#f0ad4e"
    readonly property string font: "Noto Sans CJK SC"
    readonly property int navigationHeight: 64
}
