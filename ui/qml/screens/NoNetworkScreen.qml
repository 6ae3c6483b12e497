import QtQuick
import "../components"

// Help when the network is gone: what to check, and the way back.
Item {
    id: page
    required property var vm
    Column {
        x: 24
        y: 30
        width: page.width - 48
        spacing: 14
        Label { text: "您的设备未启用移动网络或Wi-Fi"; font.pixelSize: 17; font.bold: true }
        Label { width: parent.width; wrapMode: Text.Wrap; color: Theme.secondaryText; text: "如需要连接到互联网，请检查网线或无线网络是否已连接，或在系统设置中打开网络。" }
        TapButton {
            objectName: "back"
            width: parent.width
            text: "返回"
            onClicked: page.vm.invoke("back")
        }
    }
}
