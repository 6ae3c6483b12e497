import QtQuick

// The pictures the screens name, drawn here as simple shapes instead of bitmaps: stamps, the
// camera, the add button, arrows, placeholders, the chat mark.
Item {
    id: art
    property string name: ""
    property color tint: Theme.navigation
    implicitWidth: 40
    implicitHeight: 40

    readonly property var stampText: ({
        "cwqb_wancheng": "已完成",
        "cwqb(haizi)_yijujue": "已拒绝",
        "cwqb(haizi)_weichuli": "待处理"
    })
    readonly property var stampColour: ({
        "cwqb_wancheng": "#2fb3a6",
        "cwqb(haizi)_yijujue": "#d9534f",
        "cwqb(haizi)_weichuli": "#f0ad4e"
    })

    // A stamp: a ring with its word, tilted like a rubber stamp.
    Rectangle {
        visible: art.stampText[art.name] !== undefined
        anchors.centerIn: parent
        width: Math.min(art.width, art.height)
        height: width
        radius: width / 2
        rotation: -18
        color: "transparent"
        border.width: 2
        border.color: art.stampColour[art.name] || "gray"
        Label {
            anchors.centerIn: parent
            text: art.stampText[art.name] || ""
            color: art.stampColour[art.name] || "gray"
            font.pixelSize: parent.width / 4.2
            font.bold: true
        }
    }

    // The camera: a body, a lens and a flash.
    Item {
        visible: art.name === "xiangji"
        anchors.fill: parent
        Rectangle {
            anchors.centerIn: parent
            width: parent.width * 0.62
            height: parent.height * 0.44
            radius: 5
            color: "#777777"
            Rectangle {
                anchors.centerIn: parent
                width: parent.height * 0.62
                height: width
                radius: width / 2
                color: "white"
                Rectangle {
                    anchors.centerIn: parent
                    width: parent.width * 0.6
                    height: width
                    radius: width / 2
                    color: "#777777"
                }
            }
            Rectangle {
                x: parent.width * 0.12
                y: -height
                width: parent.width * 0.24
                height: parent.height * 0.18
                color: "#777777"
            }
        }
    }

    // The add-picture button: a dashed square with a plus.
    Rectangle {
        visible: art.name === "tianjiatupian"
        anchors.fill: parent
        color: "white"
        border.width: 1
        border.color: Theme.separator
        Label {
            anchors.centerIn: parent
            text: "+"
            color: Theme.placeholder
            font.pixelSize: parent.height * 0.6
        }
    }

    // The hedgehog placeholder of pictures not loaded yet, and the loading picture.
    Rectangle {
        visible: art.name === "cwqb_ciweijia" || art.name === "jiazai" || art.name === "cwqb_jiazai2"
        anchors.centerIn: parent
        width: Math.min(parent.width, parent.height)
        height: width
        radius: width / 2
        color: "#e8d9c4"
        Label {
            anchors.centerIn: parent
            text: "刺"
            color: "#8b6b43"
            font.pixelSize: parent.width * 0.45
            font.bold: true
        }
    }

    // The arrow of the new-bills banner.
    Label {
        visible: art.name === "cwqb_jiantou"
        anchors.centerIn: parent
        text: "›"
        color: art.tint
        font.pixelSize: Math.min(art.width, art.height) * 0.8
    }

    // The chat mark before a parent's comment: a small bubble with three dots.
    Rectangle {
        visible: art.name === "chat02"
        anchors.centerIn: parent
        width: Math.min(art.width, art.height)
        height: width * 0.75
        radius: height / 3
        color: art.tint
        Row {
            anchors.centerIn: parent
            spacing: parent.width / 10
            Repeater {
                model: 3
                delegate: Rectangle { width: art.width / 8; height: width; radius: width / 2; color: "white" }
            }
        }
    }
}
