import QtQuick

// The bar that says the network is gone; a tap opens the help screen.
Rectangle {
    id: bar
    property bool shown: false
    signal tapped()
    objectName: "noNetworkBar"
    anchors.left: parent.left
    anchors.right: parent.right
    height: shown ? 36 : 0
    visible: shown
    color: "#fff3d6"
    Label {
        anchors.centerIn: parent
        text: "网络无法连接，点击查看"
        color: "#a06a00"
        font.pixelSize: 14
    }
    MouseArea {
        anchors.fill: parent
        onClicked: bar.tapped()
    }
}
