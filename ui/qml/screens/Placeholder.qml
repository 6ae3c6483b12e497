import QtQuick

// The empty screen shown until the service's configuration picks the first one.
Item {
    required property var vm
}
