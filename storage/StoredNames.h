#pragma once

// The names under which the device keeps what it stores: files, object-cache keys, defaults and
// keychain entries. Stored data outlives a version of the program, so these texts stay as the
// first version wrote them (some odd: "OAKCache", "kChildAppsCache"); they are written here once.
namespace twig::stored {

// Files and folders.
inline constexpr const char* kDatabaseFile = "tesSel_children.sqlite";
inline constexpr const char* kCacheFolder = "OAKCache";
inline constexpr const char* kCacheIndexFile = "OAKCache.plist";
inline constexpr const char* kCommandInboxFile = "commandInbox.jsonl";

// Object-cache keys.
inline constexpr const char* kUnsentMessages = "publishMessages";
inline constexpr const char* kChildInfo = "child_InfoKey";
inline constexpr const char* kBinding = "binding";
// Set when the parent announces new bills; the home page and the wallet read and clear it.
inline constexpr const char* kNewBills = "billsNumber";
inline constexpr const char* kInstallChosen = "isSelected";
inline constexpr const char* kInstalledApps = "childInstallationApps";
// Also the name of the answer to the one-key control command, which sets it.
inline constexpr const char* kOneKeyControlEnabled = "ResponseAppsOnekeyControl";
inline constexpr const char* kBillsPage = "localStash";
inline constexpr const char* kPointsTotal = "bonuspointsStatistics";

// Defaults: whether the installed applications were reported once.
inline constexpr const char* kAppsReported = "kChildAppsCache";

// The keychain entry of the device identifier.
inline constexpr const char* kKeychainService = "com.orvane.tessel.children";
inline constexpr const char* kKeychainAccount = "UUID";

// Model classes, by the names archives and the service's models were first written under; the
// two control tables are also the SQLite tables of the same names.
inline constexpr const char* kAppsTable = "TWGIAppsModel";
inline constexpr const char* kControlGroupsTable = "TWIGAppControlGroupModel";
inline constexpr const char* kLockedAppClass = "TWIGLockAppsModel";
inline constexpr const char* kChildInfoClass = "TWIGChildInfo";
inline constexpr const char* kEnrolmentClass = "TWIGActivationModel";
inline constexpr const char* kPullRequestClass = "TWIGMQTTModel";
inline constexpr const char* kPulledMessageClass = "TWIGPullMessageModel";
inline constexpr const char* kBillSubjectClass = "TWIGSubjectModel";
inline constexpr const char* kBillPictureClass = "TWIGPictures";
inline constexpr const char* kBillCommentClass = "TWIGComments";
inline constexpr const char* kBillClass = "TWIGBillModel";
inline constexpr const char* kPhotoClass = "TWIGPhotoModel";
inline constexpr const char* kPointsSubjectClass = "TWIGBonuspointsMondel";
inline constexpr const char* kPointsTotalClass = "TWIGTotalModel";

}  // namespace twig::stored
