import QtQuick

// The message overlay: a progress ring that stays until dismissed, or a success, error or warning
// message that hides itself after a moment.
Item {
    id: hud
    property string kind: ""
    property string text: ""
    property int serial: 0
    signal finished()

    visible: kind !== ""
    onSerialChanged: if (kind !== "progress") hideTimer.restart()

    Timer {
        id: hideTimer
        interval: 1500
        onTriggered: hud.finished()
    }
    MouseArea {  // a progress ring keeps taps from the screen below
        anchors.fill: parent
        enabled: hud.kind === "progress"
    }
    Rectangle {
        anchors.centerIn: parent
        width: Math.max(140, message.implicitWidth + 40)
        height: 120
        radius: 10
        color: "#cc222222"
        Item {
            id: icon
            anchors.horizontalCenter: parent.horizontalCenter
            anchors.top: parent.top
            anchors.topMargin: 18
            width: 40
            height: 40
            Rectangle {
                anchors.fill: parent
                radius: 20
                color: "transparent"
                border.width: 3
                border.color: hud.kind === "error" ? "#ff8a80" : hud.kind === "warning" ? "#ffd180" : "white"
                RotationAnimator on rotation {
                    running: hud.kind === "progress" && hud.visible
                    from: 0
                    to: 360
                    duration: 900
                    loops: Animation.Infinite
                }
                Rectangle {
                    visible: hud.kind === "progress"
                    width: 10
                    height: 10
                    radius: 5
                    color: "white"
                    x: parent.width / 2 - 5
                    y: -4
                }
            }
            Label {
                anchors.centerIn: parent
                visible: hud.kind !== "progress"
                text: hud.kind === "success" ? "✓" : "!"
                color: "white"
                font.pixelSize: 22
                font.bold: true
            }
        }
        Label {
            id: message
            objectName: "overlayText"
            anchors.horizontalCenter: parent.horizontalCenter
            anchors.top: icon.bottom
            anchors.topMargin: 14
            text: hud.text
            color: "white"
        }
    }
}
