import QtQuick

// Draws one screen with its own QML file, named after its view model's class.
Item {
    id: view
    property var screen: null
    clip: true

    Loader {
        id: loader
        anchors.fill: parent
        active: view.screen !== null
        source: view.screen ? "../screens/" + view.screen.className + ".qml" : ""
        onLoaded: item.vm = view.screen
    }
    // A new screen of the same class still gets its own view model.
    onScreenChanged: if (loader.item && view.screen) loader.item.vm = view.screen
}
