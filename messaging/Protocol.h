#pragma once

#include <string>
#include <string_view>

// What a device and its peers (the parent's device, the service) say to each other over the
// broker, spelt as it travels: the names of commands, answers and events, the topics, and the keys
// of the envelope every message has. Peers rely on these exact texts, some of them odd
// ("RequestAppsOnekeyControl", "qomri"), so they are written here once and nowhere else.
namespace twig::protocol {

// The version every topic carries; a peer on another version is told to upgrade.
inline constexpr int kVersion = 20;
// The broker account of every device and of the service (user name and password alike).
inline constexpr const char* kBrokerCredentials = "qomri";

// Commands from the parent. A command whose name begins "Request" is answered.
inline constexpr const char* kRequestPrefix = "Request";
inline constexpr const char* kRequestChildInfo = "RequestChildInfo";
inline constexpr const char* kRequestLocation = "RequestLocation";
inline constexpr const char* kRequestApps = "RequestApps";
inline constexpr const char* kRequestCheckApp = "RequestCheckApp";
inline constexpr const char* kRequestAppControlGroupChange = "RequestAppControlGroupChange";
inline constexpr const char* kRequestAppsOnekeyControl = "RequestAppsOnekeyControl";
inline constexpr const char* kEventIconUpload = "EventIconUpload";
inline constexpr const char* kReset = "Reset";
inline constexpr const char* kEventNotification = "EventNotification";
// The "type" of an "EventNotification" that announces new bills.
inline constexpr const char* kNotificationBills = "bills";

// Answers, each with a status.
inline constexpr const char* kResponsePrefix = "Response";
inline constexpr const char* kResponseChildInfo = "ResponseChildInfo";
inline constexpr const char* kResponseLocation = "ResponseLocation";
inline constexpr const char* kResponseApps = "ResponseApps";
inline constexpr const char* kResponseAppsOnekeyControl = "ResponseAppsOnekeyControl";
inline constexpr const char* kResponseAppControlGroupChange = "ResponseAppControlGroupChange";
inline constexpr const char* kStatusAcknowledged = "Acknowledged";
inline constexpr const char* kStatusFailed = "Failed";

// Events the device publishes by itself.
inline constexpr const char* kEventOnline = "EventOnline";
inline constexpr const char* kEventOffline = "EventOffline";
inline constexpr const char* kEventAppInstall = "EventAppInstall";
inline constexpr const char* kEventAppUninstall = "EventAppUninstall";
// Sent both ways when the versions of two peers differ; names who must upgrade.
inline constexpr const char* kEventUpgrade = "EventUpgrade";
inline constexpr const char* kKeyUpgradeDeviceId = "upgradeDeviceId";

// The key of every message's identifier.
inline constexpr const char* kKeyCommandUuid = "commandUuid";

// Topics: "/ts/<version>/2/<device>" reaches a device, "/ts/<version>/1/<parent>" a parent.
inline constexpr const char* kTopicPrefix = "/ts/";
inline std::string deviceTopic(std::string_view deviceId) {
  return kTopicPrefix + std::to_string(kVersion) + "/2/" + std::string(deviceId);
}
inline std::string parentTopic(std::string_view parentDN) {
  return kTopicPrefix + std::to_string(kVersion) + "/1/" + std::string(parentDN);
}
// A device listens on its address of any version, so that it can tell an older peer to upgrade.
inline std::string deviceTopicOfAnyVersion(std::string_view deviceId) {
  return kTopicPrefix + std::string("*/2/") + std::string(deviceId);
}
// The service listens on every parent's address of any version.
inline constexpr const char* kEveryParentTopic = "/ts/+/1/+";
// Messages on topics that begin so are the broker's own and carry no version.
inline constexpr const char* kBrokerTopicPrefix = "mqtt-subscription";

}  // namespace twig::protocol
