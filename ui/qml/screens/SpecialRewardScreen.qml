import QtQuick
import "../components"

// The special reward: what the child did (140 characters at most, a grey placeholder while
// empty), the strip of up to eight pictures with its add button, and the send button.
Item {
    id: page
    // Made with its view model; every field its view model declares is there from the start.
    required property var vm
    readonly property var s: vm.state
    readonly property var strip: s.strip
    readonly property int columns: strip.columns || 4
    readonly property real cell: (width - 32 - (columns - 1) * 8) / columns

    MouseArea {
        anchors.fill: parent
        onClicked: { forceActiveFocus(); page.vm.invoke("touchOutside") }
    }

    Rectangle {
        id: textBox
        x: 16
        y: 16
        width: page.width - 32
        height: 140
        radius: 6
        color: "white"
        border.color: Theme.separator
        TextEdit {
            id: editor
            objectName: "text"
            anchors.fill: parent
            anchors.margins: 10
            wrapMode: TextEdit.Wrap
            textFormat: TextEdit.PlainText
            font.family: Theme.font
            font.pixelSize: 15
            color: page.s.textColor === "grey" ? Theme.placeholder : Theme.text
            text: page.s.text
            onActiveFocusChanged: page.vm.invoke(activeFocus ? "editingBegan" : "editingEnded")
            onTextChanged: if (activeFocus && text !== page.s.text) page.vm.invoke("setText", { "text": text })
        }
        Shaker { target: textBox; serial: page.s.shake.serial ?? 0 }
    }

    Flow {
        objectName: "strip"
        x: 16
        anchors.top: textBox.bottom
        anchors.topMargin: 16
        width: page.width - 32
        spacing: 8
        Repeater {
            model: page.strip.thumbnails
            delegate: Rectangle {
                required property var modelData
                width: page.cell
                height: page.cell
                color: "#eeeeee"
                clip: true
                Art { anchors.fill: parent; name: modelData.isTakePhone ? "xiangji" : "cwqb_ciweijia" }
                Image {
                    anchors.fill: parent
                    visible: !modelData.isTakePhone
                    source: modelData.isTakePhone ? "" : "file://" + modelData.url
                    sourceSize.width: 256
                    fillMode: Image.PreserveAspectCrop
                    asynchronous: true
                }
                MouseArea { anchors.fill: parent; onClicked: page.vm.invoke("tapImage", { "tag": modelData.tag }) }
            }
        }
        Art {
            objectName: "addButton"
            visible: page.strip.addButton === true
            width: page.cell
            height: page.cell
            name: "tianjiatupian"
            MouseArea { anchors.fill: parent; onClicked: page.vm.invoke("addImages") }
        }
    }
}
