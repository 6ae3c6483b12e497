import QtQuick

// A flat button with a label.
Rectangle {
    id: button
    property alias text: label.text
    property color textColor: "white"
    signal clicked()
    implicitWidth: label.implicitWidth + 40
    implicitHeight: 44
    radius: 6
    color: Theme.navigation
    opacity: enabled ? 1 : 0.5
    Label {
        id: label
        anchors.centerIn: parent
        color: button.textColor
        font.pixelSize: 16
    }
    MouseArea {
        anchors.fill: parent
        onClicked: button.clicked()
    }
}
