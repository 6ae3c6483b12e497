import QtQuick
import "../components"

// About: the name and version, and one row that opens the licence agreement.
Item {
    id: page
    // Made with its view model; every field its view model declares is there from the start.
    required property var vm
    readonly property var s: vm.state

    Column {
        anchors.left: parent.left
        anchors.right: parent.right
        Item {
            width: parent.width
            height: 180
            Column {
                anchors.centerIn: parent
                spacing: 10
                Rectangle {
                    anchors.horizontalCenter: parent.horizontalCenter
                    width: 72
                    height: 72
                    radius: 16
                    color: Theme.navigation
                    Label { anchors.centerIn: parent; text: "刺"; color: "white"; font.pixelSize: 36; font.bold: true }
                }
                Label {
                    anchors.horizontalCenter: parent.horizontalCenter
                    text: page.s.labelName
                    color: Theme.secondaryText
                }
            }
        }
        Repeater {
            model: page.s.rows
            delegate: Rectangle {
                required property var modelData
                required property int index
                width: page.width
                height: 48
                color: "white"
                Label { anchors.left: parent.left; anchors.leftMargin: 16; anchors.verticalCenter: parent.verticalCenter; text: modelData }
                Label { anchors.right: parent.right; anchors.rightMargin: 16; anchors.verticalCenter: parent.verticalCenter; text: "›"; color: Theme.placeholder; font.pixelSize: 22 }
                Rectangle { anchors.bottom: parent.bottom; width: parent.width; height: 1; color: Theme.separator }
                MouseArea { anchors.fill: parent; onClicked: page.vm.invoke("selectRow", { "row": index }) }
            }
        }
    }
}
