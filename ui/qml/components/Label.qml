import QtQuick

// Text in the project's type: Chinese needs the CJK face.
Text {
    color: Theme.text
    font.family: Theme.font
    font.pixelSize: 15
    wrapMode: Text.NoWrap
}
