import QtQuick
import "../components"

// One picture of the strip, with the question whether to remove it.
Rectangle {
    id: page
    // Made with its view model; every field its view model declares is there from the start.
    required property var vm
    readonly property var s: vm.state
    readonly property var image: s.image
    color: "black"

    Image {
        anchors.fill: parent
        anchors.bottomMargin: 90
        source: page.image.url && !page.image.isTakePhone ? "file://" + page.image.url : ""
        fillMode: Image.PreserveAspectFit
        asynchronous: true
    }
    Rectangle {
        anchors.bottom: parent.bottom
        width: parent.width
        height: 90
        color: "#222222"
        Label { x: 16; y: 12; text: page.s.question; color: "white" }
        Row {
            anchors.right: parent.right
            anchors.rightMargin: 16
            anchors.bottom: parent.bottom
            anchors.bottomMargin: 12
            spacing: 12
            TapButton { text: "取消"; color: "#555555"; height: 36; onClicked: page.vm.invoke("cancel") }
            TapButton { objectName: "confirm"; text: "确定"; height: 36; onClicked: page.vm.invoke("confirm") }
        }
    }
}
