import QtQuick
import "../components"

// The lock screen: the clock and date, when control ends, and the applications to close, grouped.
Rectangle {
    id: page
    // Made with its view model; every field its view model declares is there from the start.
    required property var vm
    readonly property var s: vm.state
    color: "#1d2b36"

    Column {
        id: clock
        anchors.horizontalCenter: parent.horizontalCenter
        y: 60
        spacing: 6
        Label {
            objectName: "time"
            anchors.horizontalCenter: parent.horizontalCenter
            text: page.s.time
            color: "white"
            font.pixelSize: 64
            font.weight: Font.Light
        }
        Label {
            anchors.horizontalCenter: parent.horizontalCenter
            text: page.s.date
            color: "#c8d3dc"
        }
        Label {
            anchors.horizontalCenter: parent.horizontalCenter
            text: page.s.expected
            color: "#c8d3dc"
            lineHeight: page.s.expectedLineHeight || 1.5
        }
    }

    Flickable {
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.top: clock.bottom
        anchors.topMargin: 30
        anchors.bottom: parent.bottom
        width: page.s.gridSide
        contentHeight: sections.implicitHeight
        clip: true
        Column {
            id: sections
            width: parent.width
            Repeater {
                model: page.s.sections
                delegate: Column {
                    required property var modelData
                    width: sections.width
                    Label {
                        width: parent.width
                        height: page.s.headerHeight
                        verticalAlignment: Text.AlignVCenter
                        horizontalAlignment: Text.AlignHCenter
                        wrapMode: Text.Wrap
                        text: modelData.header || ""
                        color: "white"
                    }
                    Flow {
                        width: parent.width
                        spacing: page.s.sectionInset
                        Repeater {
                            model: modelData.apps || []
                            delegate: Column {
                                required property var modelData
                                readonly property real side: page.s.cellSide
                                width: side
                                spacing: 4
                                Rectangle {
                                    anchors.horizontalCenter: parent.horizontalCenter
                                    width: parent.side * 0.6
                                    height: width
                                    radius: width / 5
                                    color: "#3c5566"
                                    Label { anchors.centerIn: parent; text: (modelData.appName || "?").substring(0, 1); color: "white"; font.pixelSize: parent.width / 2 }
                                    Image {
                                        anchors.fill: parent
                                        source: modelData.iconUrl || ""
                                        asynchronous: true
                                        fillMode: Image.PreserveAspectFit
                                    }
                                }
                                Label {
                                    width: parent.width
                                    horizontalAlignment: Text.AlignHCenter
                                    elide: Text.ElideRight
                                    text: modelData.appName || ""
                                    color: "white"
                                    font.pixelSize: 13
                                }
                            }
                        }
                    }
                }
            }
        }
    }
}
