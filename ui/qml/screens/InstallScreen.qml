import QtQuick
import "../components"

// Installing the child launcher: what to do next, and the button that starts it.
Item {
    id: page
    property var vm: null
    readonly property var s: vm ? vm.state : null

    Column {
        anchors.horizontalCenter: parent.horizontalCenter
        y: 40 + (page.s && page.s.pictureOffset ? page.s.pictureOffset : 0)
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
                text: page.s && page.s.picture === "333.gif" ? "刺猬家-孩子\n已安装" : "刺猬家-孩子\n安装中"
                horizontalAlignment: Text.AlignHCenter
                color: Theme.secondaryText
            }
        }
        Label {
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
            text: page.s && page.s.label ? page.s.label : ""
        }
        TapButton {
            width: parent.width
            text: page.s && page.s.buttonTitle ? page.s.buttonTitle : ""
            color: page.s && page.s.buttonBackground ? page.s.buttonBackground : Theme.navigation
            textColor: page.s && page.s.buttonTitleColor ? page.s.buttonTitleColor : "white"
            onClicked: page.vm.invoke("install")
        }
    }
}
