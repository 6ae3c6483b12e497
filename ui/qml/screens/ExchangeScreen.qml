import QtQuick
import "../components"

// Exchanging points for play time: a picker of minutes, the cost and what remains, and the rate.
Item {
    id: page
    // Made with its view model; every field its view model declares is there from the start.
    required property var vm
    readonly property var s: vm.state
    readonly property int rowHeight: s.rowHeight

    Column {
        anchors.fill: parent
        anchors.topMargin: 20
        spacing: 16
        Label { anchors.horizontalCenter: parent.horizontalCenter; text: "兑换多少分钟？"; font.pixelSize: 17 }
        Rectangle {
            anchors.horizontalCenter: parent.horizontalCenter
            width: 200
            height: page.rowHeight * 3
            color: "white"
            radius: 8
            clip: true
            ListView {
                id: picker
                objectName: "picker"
                anchors.fill: parent
                model: page.s.date
                preferredHighlightBegin: page.rowHeight
                preferredHighlightEnd: page.rowHeight * 2
                highlightRangeMode: ListView.StrictlyEnforceRange
                snapMode: ListView.SnapToItem
                currentIndex: Math.max(0, page.s.selected - 1)
                onMovementEnded: page.vm.invoke("selectRow", { "row": currentIndex })
                delegate: Label {
                    required property var modelData
                    required property int index
                    width: picker.width
                    height: page.rowHeight
                    horizontalAlignment: Text.AlignHCenter
                    verticalAlignment: Text.AlignVCenter
                    text: modelData + " 分钟"
                    font.pixelSize: index === picker.currentIndex ? 22 : 16
                    color: index === picker.currentIndex ? Theme.text : Theme.secondaryText
                    MouseArea { anchors.fill: parent; onClicked: page.vm.invoke("selectRow", { "row": index }) }
                }
            }
        }
        Row {
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: 30
            Label { text: "消耗 " + (page.s.cost || "0") + " 刺猬币"; color: Theme.accent }
            Label { text: "剩余 " + (page.s.remaining || "0") + " 刺猬币" }
        }
        Label { anchors.horizontalCenter: parent.horizontalCenter; text: page.s.rateText; color: Theme.secondaryText }
        TapButton {
            anchors.horizontalCenter: parent.horizontalCenter
            width: parent.width - 60
            text: "兑换"
            onClicked: page.vm.invoke("save")
        }
    }
}
