import QtQuick
import "../components"

// The photo picker: the camera cell, then the saved photos, newest first; a tick on each chosen one.
Item {
    id: page
    // Made with its view model; every field its view model declares is there from the start.
    required property var vm
    readonly property var s: vm.state
    readonly property int columns: 4
    readonly property real cell: Math.floor((width - 8) / columns) - 4

    Label {
        anchors.centerIn: parent
        visible: !page.s.accessLabelHidden
        text: page.s.accessLabel
        color: Theme.secondaryText
    }

    GridView {
        anchors.fill: parent
        anchors.margins: 4
        cellWidth: page.cell + 4
        cellHeight: page.cell + 4
        clip: true
        model: 1 + page.s.photos.length
        delegate: Item {
            required property int index
            readonly property var photo: index > 0 ? page.s.photos[index - 1] : null
            width: page.cell
            height: page.cell
            Rectangle {
                anchors.fill: parent
                visible: index === 0
                color: "white"
                Art { anchors.centerIn: parent; width: parent.width * 0.6; height: width; name: page.s.cameraCell.image ?? "" }
                Label {
                    anchors.right: parent.right
                    anchors.bottom: parent.bottom
                    anchors.margins: 4
                    visible: page.s.cameraCell.count > 0
                    text: page.s.cameraCell.count ?? ""
                    color: Theme.navigation
                }
            }
            Image {
                anchors.fill: parent
                visible: index > 0
                source: parent.photo ? "file://" + parent.photo.url : ""
                sourceSize.width: 256
                fillMode: Image.PreserveAspectCrop
                asynchronous: true
                clip: true
            }
            Rectangle {
                visible: parent.photo ? parent.photo.selected === true : false
                anchors.right: parent.right
                anchors.top: parent.top
                anchors.margins: 4
                width: 22
                height: 22
                radius: 11
                color: Theme.navigation
                border.color: "white"
                Label { anchors.centerIn: parent; text: "✓"; color: "white"; font.pixelSize: 13 }
            }
            MouseArea {
                anchors.fill: parent
                onClicked: index === 0 ? page.vm.invoke("tapCamera") : page.vm.invoke("tapPhoto", { "index": index - 1 })
            }
        }
    }
}
