import QtQuick
import "../components"

// Binding: the parent's binding code in two fields, the service agreement's tick and link, and
// the confirm button (hidden while a request runs, when the ring turns).
Item {
    id: page
    // Made with its view model; every field its view model declares is there from the start.
    required property var vm
    readonly property var s: vm.state

    MouseArea {
        anchors.fill: parent
        onClicked: { forceActiveFocus(); page.vm.invoke("touchOutside") }
    }

    Column {
        id: form
        x: 30
        y: 120 + page.s.viewOffset
        width: page.width - 60
        spacing: 18

        Label {
            anchors.horizontalCenter: parent.horizontalCenter
            text: "刺猬家"
            color: Theme.navigation
            font.pixelSize: 34
            font.bold: true
        }
        Label {
            anchors.horizontalCenter: parent.horizontalCenter
            text: "请输入家长端的绑定号"
            color: Theme.secondaryText
        }

        Repeater {
            model: [
                { "key": "text2", "action": "setText2", "hint": "绑定号" },
                { "key": "text1", "action": "setText1", "hint": "再次输入绑定号" }
            ]
            delegate: Rectangle {
                id: field
                required property var modelData
                width: form.width
                height: 46
                radius: 6
                color: "white"
                border.color: input.activeFocus ? Theme.navigation : Theme.separator
                TextInput {
                    id: input
                    objectName: field.modelData.key
                    anchors.fill: parent
                    anchors.leftMargin: 14
                    verticalAlignment: TextInput.AlignVCenter
                    font.family: Theme.font
                    font.pixelSize: 17
                    inputMethodHints: Qt.ImhDigitsOnly
                    text: page.s[field.modelData.key]
                    focus: page.s.focusedField === field.modelData.key
                    onTextEdited: page.vm.invoke(field.modelData.action, { "text": text })
                    onActiveFocusChanged: page.vm.invoke(activeFocus ? "editingBegan" : "editingEnded")
                    Keys.onReturnPressed: page.vm.invoke("returnKey")
                }
                Label {
                    anchors.left: parent.left
                    anchors.leftMargin: 14
                    anchors.verticalCenter: parent.verticalCenter
                    visible: input.text === ""
                    text: field.modelData.hint
                    color: Theme.placeholder
                }
                Shaker {
                    target: field
                    serial: page.s.shake.target === field.modelData.key ? page.s.shake.serial : 0
                }
            }
        }

        Row {
            id: agreement
            spacing: 8
            Rectangle {
                objectName: "agreementTick"
                width: 20
                height: 20
                radius: 4
                border.color: Theme.navigation
                color: page.s.agreementSelected ? Theme.navigation : "white"
                Label {
                    anchors.centerIn: parent
                    text: "✓"
                    color: "white"
                    visible: page.s.agreementSelected
                }
                MouseArea {
                    anchors.fill: parent
                    anchors.margins: -8
                    onClicked: page.vm.invoke("chooseButton")
                }
            }
            Label {
                text: "我已阅读并同意"
                color: Theme.secondaryText
            }
            Label {
                text: "《服务协议》"
                color: Theme.navigation
                MouseArea {
                    anchors.fill: parent
                    onClicked: page.vm.invoke("agreementButton")
                }
            }
            Shaker {
                target: agreement
                serial: page.s.shake.target === "agreement" ? page.s.shake.serial : 0
            }
        }

        Item {
            width: form.width
            height: 48
            TapButton {
                objectName: "confirm"
                anchors.fill: parent
                visible: page.s.confirmVisible
                text: "确定"
                onClicked: page.vm.invoke("determineButton")
            }
            Rectangle {
                anchors.centerIn: parent
                visible: page.s.waiting
                width: 30
                height: 30
                radius: 15
                color: "transparent"
                border.width: 3
                border.color: Theme.navigation
                RotationAnimator on rotation {
                    running: page.s.waiting
                    from: 0
                    to: 360
                    duration: 900
                    loops: Animation.Infinite
                }
                Rectangle { width: 8; height: 8; radius: 4; color: Theme.navigation; x: 11; y: -3 }
            }
        }
    }
}
