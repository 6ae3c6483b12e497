import QtQuick

// Draws one screen with its own QML file, named after its view model's class. Each view model gets
// a view of its own, made with it, so that a view never exists without its state.
Item {
    id: view
    property var screen: null
    clip: true

    Loader {
        id: loader
        anchors.fill: parent
    }

    function load() {
        if (view.screen)
            loader.setSource("../screens/" + view.screen.className + ".qml", { "vm": view.screen })
        else
            loader.source = ""
    }
    onScreenChanged: load()
    Component.onCompleted: load()
}
