import QtQuick
import "../components"

// The wallet: the total with its turning refresh icon, the new-bills banner, the bills and the
// load-more row, or the empty view with its reload button. Pulling the list down refreshes it.
Item {
    id: page
    // Made with its view model; every field its view model declares is there from the start.
    required property var vm
    readonly property var s: vm.state

    Rectangle {
        id: head
        anchors.left: parent.left
        anchors.right: parent.right
        height: 110
        color: Theme.navigation
        Column {
            anchors.centerIn: parent
            spacing: 4
            Label { anchors.horizontalCenter: parent.horizontalCenter; text: page.s.headLabel; color: "white" }
            Label {
                objectName: "total"
                anchors.horizontalCenter: parent.horizontalCenter
                text: page.s.total || "0"
                color: "white"
                font.pixelSize: 40
                font.bold: true
            }
        }
        Label {
            id: refreshIcon
            anchors.right: parent.right
            anchors.rightMargin: 18
            anchors.verticalCenter: parent.verticalCenter
            text: "⟳"
            color: "white"
            font.pixelSize: 26
            RotationAnimator on rotation {
                running: page.s.refreshing
                from: 0
                to: 360
                duration: 800
                loops: Animation.Infinite
            }
            MouseArea { anchors.fill: parent; anchors.margins: -8; onClicked: page.vm.invoke("refresh") }
        }
    }

    Rectangle {
        id: banner
        anchors.top: head.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        visible: !!page.s.banner
        height: visible ? 36 : 0
        color: "#fff7e0"
        Label { anchors.centerIn: parent; text: banner.visible ? page.s.banner.title : ""; color: "#a06a00" }
        MouseArea { anchors.fill: parent; onClicked: page.vm.invoke("tapBanner") }
    }

    ListView {
        id: list
        anchors.top: banner.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        clip: true
        model: page.s.rows
        onDragEnded: if (contentY < -page.s.pullLimit / 2) page.vm.invoke("refresh")
        delegate: Rectangle {
            required property var modelData
            required property int index
            width: list.width
            height: Math.max(96, content.implicitHeight + 24)
            color: "white"
            Rectangle { anchors.bottom: parent.bottom; width: parent.width; height: 1; color: Theme.separator }
            Column {
                id: content
                x: 16
                y: 12
                width: parent.width - 32
                spacing: 6
                Row {
                    spacing: 8
                    Label { text: modelData.subjectName; font.bold: true; font.pixelSize: 16 }
                    Label { text: modelData.points; color: Theme.accent }
                }
                Label { width: parent.width; wrapMode: Text.Wrap; text: modelData.description; visible: text !== "" }
                Label { text: modelData.date; color: Theme.secondaryText; font.pixelSize: 12 }
                Item {
                    visible: !!modelData.picture
                    width: 120
                    height: visible ? 90 : 0
                    Art { anchors.fill: parent; name: modelData.picture ? modelData.picture.placeholder : "" }
                    Image {
                        anchors.fill: parent
                        source: modelData.picture ? modelData.picture.url : ""
                        fillMode: Image.PreserveAspectCrop
                        asynchronous: true
                        clip: true
                    }
                    Rectangle {
                        anchors.right: parent.right
                        anchors.bottom: parent.bottom
                        width: 28
                        height: 18
                        color: "#99000000"
                        Label { anchors.centerIn: parent; text: modelData.picture ? modelData.picture.count : ""; color: "white"; font.pixelSize: 11 }
                    }
                    MouseArea { anchors.fill: parent; onClicked: page.vm.invoke("openPictures", { "row": index }) }
                }
                Row {
                    visible: !!modelData.comment
                    spacing: 6
                    Art { width: 20; height: 20; name: modelData.comment ? modelData.comment.icon : "" }
                    Rectangle {
                        width: Math.min(commentText.implicitWidth + 20, content.width - 30)
                        height: commentText.implicitHeight + 12
                        radius: 8
                        color: "#eef6f5"
                        Label {
                            id: commentText
                            x: 10
                            y: 6
                            width: Math.min(implicitWidth, content.width - 50)
                            wrapMode: Text.Wrap
                            font.pixelSize: 14
                            text: modelData.comment ? modelData.comment.text : ""
                        }
                    }
                }
            }
            Art {
                anchors.right: parent.right
                anchors.rightMargin: 16
                anchors.top: parent.top
                anchors.topMargin: 10
                width: 64
                height: 64
                name: modelData.stamp
            }
        }
        footer: Item {
            width: list.width
            height: visible ? 60 : 0
            visible: !!page.s.loadMore
            Label {
                anchors.centerIn: parent
                text: parent.visible ? page.s.loadMore.text : ""
                color: Theme.secondaryText
            }
            MouseArea { anchors.fill: parent; onClicked: page.vm.invoke("loadMore") }
        }
    }

    Column {
        anchors.centerIn: list
        visible: !!page.s.empty
        spacing: 14
        Art { anchors.horizontalCenter: parent.horizontalCenter; width: 80; height: 80; name: parent.visible ? page.s.empty.image : "" }
        Label {
            anchors.horizontalCenter: parent.horizontalCenter
            horizontalAlignment: Text.AlignHCenter
            text: parent.visible ? page.s.empty.text : ""
            color: Theme.secondaryText
        }
        TapButton {
            anchors.horizontalCenter: parent.horizontalCenter
            text: parent.visible ? page.s.empty.button : ""
            onClicked: page.vm.invoke("reload")
        }
    }
}
