import QtQuick
import "../components"

// A bill's pictures full screen: one page each, a page indicator; a double tap zooms to three
// times and back, a tap closes.
Rectangle {
    id: page
    // Made with its view model; every field its view model declares is there from the start.
    required property var vm
    readonly property var s: vm.state
    color: "black"

    ListView {
        id: pages
        anchors.fill: parent
        orientation: ListView.Horizontal
        snapMode: ListView.SnapOneItem
        highlightRangeMode: ListView.StrictlyEnforceRange
        model: page.s.pages
        currentIndex: page.s.index
        onMovementEnded: page.vm.invoke("showPage", { "index": currentIndex })
        delegate: Item {
            required property var modelData
            width: pages.width
            height: pages.height
            clip: true
            Art { anchors.centerIn: parent; width: 80; height: 80; name: "cwqb_ciweijia"; visible: picture.status !== Image.Ready }
            Image {
                id: picture
                anchors.centerIn: parent
                width: parent.width
                height: parent.height
                scale: page.s.zoom || 1
                source: modelData
                fillMode: Image.PreserveAspectFit
                asynchronous: true
                Behavior on scale { NumberAnimation { duration: 150 } }
            }
            // A double tap must not close the viewer with its first tap: the single tap waits.
            Timer {
                id: singleTap
                interval: 300
                onTriggered: page.vm.invoke("tap")
            }
            TapHandler {
                onTapped: singleTap.restart()
                onDoubleTapped: {
                    singleTap.stop()
                    page.vm.invoke("doubleTap")
                }
            }
        }
    }
    Row {
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 24
        anchors.horizontalCenter: parent.horizontalCenter
        spacing: 8
        Repeater {
            model: pages.count
            delegate: Rectangle {
                required property int index
                width: 8
                height: 8
                radius: 4
                color: index === pages.currentIndex ? "white" : "#666666"
            }
        }
    }
}
