import QtQuick

// Text in the project's type: Chinese needs the CJK face. Plain text always: what is shown comes
// from outside too (application names from desktop entries, the parent's comments, subject names),
// and markup in it must be shown as it stands, never drawn (no remote images, no links).
Text {
    textFormat: Text.PlainText
    color: Theme.text
    font.family: Theme.font
    font.pixelSize: 15
    wrapMode: Text.NoWrap
}
