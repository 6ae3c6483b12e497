import QtQuick
import "../components"

// The home page: the coin balance with its new-bills mark and one button per feature screen.
Item {
    id: page
    // Made with its view model; every field its view model declares is there from the start.
    required property var vm
    readonly property var s: vm.state
    readonly property var names: ({
        "QianBao": "刺猬积分", "GanJiaWu": "干家务", "DuiHuan": "兑换时间", "JiangLi": "特别奖励", "Setting": "关于"
    })

    Rectangle {
        id: head
        anchors.left: parent.left
        anchors.right: parent.right
        height: page.s.backgroundHeight
        color: Theme.navigation
        Column {
            anchors.centerIn: parent
            spacing: 6
            Label {
                anchors.horizontalCenter: parent.horizontalCenter
                text: "我的刺猬币"
                color: "white"
            }
            Label {
                objectName: "balance"
                anchors.horizontalCenter: parent.horizontalCenter
                text: page.s.balance || "0"
                color: "white"
                font.pixelSize: 48
                font.bold: true
                Rectangle {
                    objectName: "redPoint"
                    visible: page.s.redPoint
                    anchors.left: parent.right
                    anchors.top: parent.top
                    width: 10
                    height: 10
                    radius: page.s.redPointCornerRadius
                    color: "#ff3b30"
                }
            }
        }
    }

    Grid {
        anchors.top: head.bottom
        anchors.topMargin: 24
        anchors.horizontalCenter: parent.horizontalCenter
        columns: 2
        spacing: page.s.buttonSpacing
        Repeater {
            model: page.s.buttons
            delegate: Rectangle {
                required property var modelData
                objectName: "feature" + modelData.storyboardName
                width: (page.width - 80) / 2
                height: 90
                radius: 10
                color: "white"
                border.color: Theme.separator
                Label {
                    anchors.centerIn: parent
                    text: page.names[modelData.storyboardName] || modelData.storyboardName
                    font.pixelSize: 18
                }
                MouseArea {
                    anchors.fill: parent
                    onClicked: page.vm.invoke("homePageButton", { "tag": modelData.tag })
                }
            }
        }
    }
}
