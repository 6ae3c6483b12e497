import QtQuick

// The empty screen shown until the service's configuration picks the first one.
Item {
    property var vm: null
}
