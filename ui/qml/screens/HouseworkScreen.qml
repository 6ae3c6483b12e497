import QtQuick
import "../components"

// Housework: each task with its icon, name and points, and a button that claims it.
ListView {
    id: page
    // Made with its view model; every field its view model declares is there from the start.
    required property var vm
    readonly property var s: vm.state
    clip: true
    model: s.worksList
    delegate: Rectangle {
        required property var modelData
        required property int index
        width: page.width
        height: page.s.rowHeight
        color: "white"
        Rectangle { anchors.bottom: parent.bottom; width: parent.width; height: 1; color: Theme.separator }
        Rectangle {
            id: icon
            x: 16
            anchors.verticalCenter: parent.verticalCenter
            width: 44
            height: 44
            radius: 22
            color: "#e5f5f3"
            Label { anchors.centerIn: parent; text: modelData.name.substring(0, 1); color: Theme.navigation; font.pixelSize: 20 }
            Image { anchors.fill: parent; source: modelData.iconUrl; asynchronous: true; fillMode: Image.PreserveAspectFit }
        }
        Column {
            anchors.left: icon.right
            anchors.leftMargin: 12
            anchors.verticalCenter: parent.verticalCenter
            spacing: 4
            Label { text: modelData.name; font.pixelSize: 16 }
            Label { text: modelData.points; color: Theme.accent; font.pixelSize: 13 }
        }
        TapButton {
            anchors.right: parent.right
            anchors.rightMargin: 16
            anchors.verticalCenter: parent.verticalCenter
            height: 34
            text: "我做了"
            onClicked: page.vm.invoke("requestHouseWork", { "row": index })
        }
    }
}
