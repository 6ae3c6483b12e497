import QtQuick
import "../components"

// The licence agreement: the shipped page, scrolled.
Flickable {
    id: page
    property var vm: null
    readonly property var s: vm ? vm.state : null
    contentHeight: body.implicitHeight + 32
    clip: true
    Label {
        id: body
        x: 16
        y: 16
        width: page.width - 32
        wrapMode: Text.Wrap
        textFormat: Text.RichText
        text: page.s && page.s.html ? page.s.html : ""
        font.pixelSize: 14
    }
}
