import QtQuick
import QtQuick.Window
import QtQml

// While app control is on, one frameless full-screen window above everything else on every screen
// of the desktop (screens added meanwhile get theirs), each showing the lock screen. The keeper
// makes them refuse to close, puts them on every workspace and raises them again when covered.
Item {
    id: locks
    property var screen: null

    Instantiator {
        model: locks.screen ? Qt.application.screens : []
        delegate: Window {
            required property var modelData
            objectName: "lockWindow"
            screen: modelData
            x: modelData.virtualX
            y: modelData.virtualY
            width: modelData.width
            height: modelData.height
            flags: Qt.Window | Qt.FramelessWindowHint | Qt.WindowStaysOnTopHint
            visibility: Window.FullScreen
            color: "#1d2b36"
            // Hidden at once when control ends, before the window itself is taken away.
            visible: locks.screen !== null
            ScreenView {
                anchors.fill: parent
                screen: locks.screen
            }
            Component.onCompleted: lockKeeper.keep(this)
        }
    }
}
