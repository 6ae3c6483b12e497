import QtQuick

// An open alert: its title, its message and a row of buttons.
Item {
    id: box
    property var alert: ({})
    signal clicked(int index)
    visible: alert && alert.title !== undefined

    Rectangle {
        anchors.fill: parent
        color: "#66000000"
        MouseArea { anchors.fill: parent }
    }
    Rectangle {
        anchors.centerIn: parent
        width: parent.width - 80
        height: column.implicitHeight + 20 + 16 + 44
        radius: 12
        color: "white"
        Column {
            id: column
            anchors.top: parent.top
            anchors.topMargin: 20
            anchors.left: parent.left
            anchors.right: parent.right
            spacing: 10
            Label {
                width: parent.width
                horizontalAlignment: Text.AlignHCenter
                text: box.alert && box.alert.title ? box.alert.title : ""
                font.bold: true
                font.pixelSize: 17
            }
            Label {
                width: parent.width - 32
                x: 16
                horizontalAlignment: Text.AlignHCenter
                wrapMode: Text.Wrap
                text: box.alert && box.alert.message ? box.alert.message : ""
            }
        }
        Row {
            anchors.bottom: parent.bottom
            anchors.left: parent.left
            anchors.right: parent.right
            height: 44
            Repeater {
                model: box.alert && box.alert.buttons ? box.alert.buttons : []
                delegate: Item {
                    required property var modelData
                    required property int index
                    width: parent.width / Math.max(1, box.alert.buttons.length)
                    height: 44
                    Rectangle { anchors.top: parent.top; width: parent.width; height: 1; color: Theme.separator }
                    Label {
                        anchors.centerIn: parent
                        text: modelData
                        color: Theme.navigation
                        font.pixelSize: 16
                    }
                    MouseArea {
                        anchors.fill: parent
                        onClicked: box.clicked(index)
                    }
                }
            }
        }
    }
}
