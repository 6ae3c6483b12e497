import QtQuick
import QtQuick.Window
import "components"

// The agent's window: a navigation bar, the top screen of the navigation stack (or the modal
// screen over it), the no-network bar, the message overlay and alerts. The lock screen has windows
// of its own that cover every screen of the desktop.
Window {
    id: window
    width: initialWidth
    height: initialHeight
    visible: true
    title: "刺猬家"
    color: Theme.background

    readonly property var host: screenHost
    readonly property var topOfStack: host.stack.length > 0 ? host.stack[host.stack.length - 1] : null
    readonly property var modal: host.modals.length > 0 ? host.modals[host.modals.length - 1] : null
    readonly property var current: modal ? modal : topOfStack

    NavigationBar {
        id: navigationBar
        z: 2
        screen: window.current
        canGoBack: !window.modal && window.host.stack.length > 1
        onBack: window.host.back()
    }

    NoNetworkBar {
        id: bar
        z: 2
        anchors.top: navigationBar.visible ? navigationBar.bottom : parent.top
        shown: window.host.barShown
        onTapped: window.host.tapBar()
    }

    ScreenView {
        objectName: "currentScreen"
        anchors.top: bar.shown ? bar.bottom : (navigationBar.visible ? navigationBar.bottom : parent.top)
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        screen: window.current
    }

    // The overlay, alerts and lock windows are made the first time they are needed: the first
    // frame comes sooner without them.
    Loader {
        z: 3
        anchors.fill: parent
        active: window.host.overlaySerial > 0
        sourceComponent: Hud {
            kind: window.host.overlayKind
            text: window.host.overlayText
            serial: window.host.overlaySerial
            onFinished: window.host.hideOverlay()
        }
    }

    Loader {
        z: 4
        anchors.fill: parent
        active: window.host.alert.title !== undefined
        sourceComponent: AlertBox {
            alert: window.host.alert
            onClicked: index => window.host.clickAlert(index)
        }
    }

    Loader {
        active: window.host.lockScreen !== null
        sourceComponent: LockWindows {
            screen: window.host.lockScreen
        }
    }
}
