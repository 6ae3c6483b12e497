import QtQuick
import "../components"

// The special reward: what the child did (140 characters at most, a grey placeholder while
// empty), the strip of up to eight pictures with its add button, and the send button.
Item {
    id: page
    property var vm: null
    readonly property var s: vm ? vm.state : null
    readonly property var strip: s && s.strip ? s.strip : ({ "columns": 4, "thumbnails": [], "addButton": true })
    readonly property real cell: (width - 32 - (strip.columns - 1) * 8) / strip.columns

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
            color: page.s && page.s.textColor === "grey" ? Theme.placeholder : Theme.text
            text: page.s && page.s.text !== undefined ? page.s.text : ""
            onActiveFocusChanged: page.vm.invoke(activeFocus ? "editingBegan" : "editingEnded")
            onTextChanged: if (activeFocus && page.s && text !== page.s.text) page.vm.invoke("setText", { "text": text })
        }
        Shaker { target: textBox; serial: page.s && page.s.shake ? page.s.shake.serial : 0 }
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
            visible: page.strip.addButton
            width: page.cell
            height: page.cell
            name: "tianjiatupian"
            MouseArea { anchors.fill: parent; onClicked: page.vm.invoke("addImages") }
        }
    }
}
