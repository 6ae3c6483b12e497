import QtQuick
import "../components"

// Installing the child launcher: what to do next, and the button that starts it.
Item {
    id: page
    // Made with its view model; every field its view model declares is there from the start.
    required property var vm
    readonly property var s: vm.state

    Column {
        anchors.horizontalCenter: parent.horizontalCenter
        y: 40 + page.s.pictureOffset
        width: page.width - 60
        spacing: 24
        Rectangle {
            anchors.horizontalCenter: parent.horizontalCenter
            width: 200
            height: 200
            radius: 16
            color: "white"
            border.color: Theme.separator
            Label {
                anchors.centerIn: parent
                text: page.s.picture === "333.gif" ? "刺猬家-孩子\n已安装" : "刺猬家-孩子\n安装中"
                horizontalAlignment: Text.AlignHCenter
                color: Theme.secondaryText
            }
        }
        Label {
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
            text: page.s.label
        }
        TapButton {
            width: parent.width
            text: page.s.buttonTitle
            color: page.s.buttonBackground || Theme.navigation
            textColor: page.s.buttonTitleColor || "white"
            onClicked: page.vm.invoke("install")
        }
    }
}
