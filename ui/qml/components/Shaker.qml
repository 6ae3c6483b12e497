import QtQuick

// Shakes its target sideways once each time `serial` grows (a refused input).
SequentialAnimation {
    id: shake
    property Item target: null
    property var serial: 0
    property real origin: 0
    onSerialChanged: {
        if (!serial || !target) return
        if (!running) origin = target.x
        restart()
    }
    NumberAnimation { target: shake.target; property: "x"; to: shake.origin - 10; duration: 50 }
    NumberAnimation { target: shake.target; property: "x"; to: shake.origin + 10; duration: 70 }
    NumberAnimation { target: shake.target; property: "x"; to: shake.origin - 6; duration: 60 }
    NumberAnimation { target: shake.target; property: "x"; to: shake.origin; duration: 50 }
}
