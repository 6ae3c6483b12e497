import QtQuick
import "../components"

// The licence agreement: the shipped page, scrolled.
Flickable {
    id: page
    // Made with its view model; every field its view model declares is there from the start.
    required property var vm
    readonly property var s: vm.state
    contentHeight: body.implicitHeight + 32
    clip: true
    Label {
        id: body
        x: 16
        y: 16
        width: page.width - 32
        wrapMode: Text.Wrap
        textFormat: Text.RichText
        text: page.s.html
        font.pixelSize: 14
    }
}
