import QtQuick

// The bar over every screen: its title and, below the root, a back arrow. Hidden when the screen
// asks for it (the binding screen, full-screen pictures).
Rectangle {
    id: bar
    property var screen: null
    property bool canGoBack: false
    signal back()

    // Every screen declares the bar's fields; with no screen there is no bar.
    readonly property var state: screen ? screen.state : ({})
    // Bar buttons of the screens that have them: the text comes from the screen's state where it
    // has one, the action is the screen's own.
    readonly property var rightButtons: ({
        "SpecialRewardScreen": "send",
        "PhotoPickerScreen": "confirm"
    })
    readonly property var leftButtons: ({
        "PhotoPickerScreen": ["取消", "cancel"]
    })
    readonly property string rightAction: screen && rightButtons[screen.className] ? rightButtons[screen.className] : ""
    readonly property var leftButton: screen && leftButtons[screen.className] ? leftButtons[screen.className] : null
    visible: screen !== null && !state.navigationBarHidden && !state.statusBarHidden
    anchors.left: parent.left
    anchors.right: parent.right
    anchors.top: parent.top
    height: visible ? Theme.navigationHeight : 0
    color: Theme.navigation

    Label {
        objectName: "navigationTitle"
        anchors.centerIn: parent
        anchors.verticalCenterOffset: 8
        text: bar.state.title ?? ""
        color: bar.state.titleColor || Theme.navigationText
        font.pixelSize: 18
        font.bold: true
    }

    Label {
        objectName: "leftButton"
        visible: bar.leftButton !== null
        anchors.left: parent.left
        anchors.leftMargin: 16
        anchors.verticalCenter: parent.verticalCenter
        anchors.verticalCenterOffset: 8
        text: bar.leftButton ? bar.leftButton[0] : ""
        color: Theme.navigationText
        font.pixelSize: 16
        MouseArea {
            anchors.fill: parent
            anchors.margins: -10
            onClicked: bar.screen.invoke(bar.leftButton[1])
        }
    }

    Label {
        objectName: "rightButton"
        visible: bar.rightAction !== ""
        anchors.right: parent.right
        anchors.rightMargin: 16
        anchors.verticalCenter: parent.verticalCenter
        anchors.verticalCenterOffset: 8
        text: bar.state.rightButtonTitle ?? ""
        color: Theme.navigationText
        font.pixelSize: 16
        MouseArea {
            anchors.fill: parent
            anchors.margins: -10
            onClicked: bar.screen.invoke(bar.rightAction)
        }
    }

    Label {
        objectName: "backButton"
        visible: bar.canGoBack && bar.leftButton === null
        anchors.left: parent.left
        anchors.leftMargin: 14
        anchors.verticalCenter: parent.verticalCenter
        anchors.verticalCenterOffset: 8
        text: "‹ 返回"
        color: Theme.navigationText
        font.pixelSize: 16
        MouseArea {
            anchors.fill: parent
            anchors.margins: -10
            onClicked: bar.back()
        }
    }
}
