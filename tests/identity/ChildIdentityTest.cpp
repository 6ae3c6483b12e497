#include <gtest/gtest.h>

#include <thread>

#include "api/Digest.h"
#include "app/Agent.h"
#include "identity/ChildIdentity.h"
#include "identity/ChildInfo.h"
#include "identity/EnrolmentBody.h"
#include "platform/linux/FileKeychain.h"
#include "platform/linux/LinuxDeviceFacts.h"
#include "storage/ObjectCache.h"
#include "storage/StoredNames.h"
#include "tests/fakes/ManualTime.h"
#include "tests/fakes/TestPorts.h"

namespace twig {
namespace {

TEST(ChildInfo, AnEmptyKeychainGetsTheMD5OfTheVendorIdentifier) {
  test::TestPorts ports;
  const auto info = ChildInfo::load(ports.agent().cache(), ports.keychain, ports.device);
  const std::string expected = Digest::MD5(ports.device.vendorIdentifier());
  EXPECT_EQ(info.deviceId, expected);
  EXPECT_EQ(ports.keychain.read("com.orvane.tessel.children", "UUID"), expected);
  EXPECT_EQ(info.parentDN, "");
  EXPECT_EQ(info.parentDeviceId, "");
  EXPECT_EQ(info.pushToken, "");
  EXPECT_FALSE(ports.agent().cache().hasCacheForKey(stored::kChildInfo)) << "fetching does not store";
}

TEST(ChildInfo, AnIdentifierAlreadyInTheKeychainIsKept) {
  test::TestPorts ports;
  ports.keychain.write("com.orvane.tessel.children", "UUID", "0123456789abcdef0123456789abcdef");
  EXPECT_EQ(ChildInfo::load(ports.agent().cache(), ports.keychain, ports.device).deviceId,
            "0123456789abcdef0123456789abcdef");
  EXPECT_EQ(ports.keychain.writeCount(), 1);
  // An empty entry counts as none.
  ports.keychain.write("com.orvane.tessel.children", "UUID", "");
  EXPECT_EQ(ChildInfo::load(ports.agent().cache(), ports.keychain, ports.device).deviceId,
            Digest::MD5(ports.device.vendorIdentifier()));
}

TEST(ChildInfo, AStoredRecordIsUsedUnchangedAndKeychainTroublesAreSurvived) {
  test::TestPorts ports;
  ChildInfo stored;
  stored.deviceId = "stored-id";
  stored.parentDN = "13800000000";
  ChildInfo::save(ports.agent().cache(), stored);
  ports.keychain.failReads(true);
  EXPECT_EQ(ChildInfo::load(ports.agent().cache(), ports.keychain, ports.device).deviceId, "stored-id");
  ports.agent().cache().removeCacheForKey(stored::kChildInfo);
  ports.keychain.failWrites(true);
  EXPECT_EQ(ChildInfo::load(ports.agent().cache(), ports.keychain, ports.device).deviceId,
            Digest::MD5(ports.device.vendorIdentifier()));
}

// The real Linux keychain and device facts: a reinstall removes the application's folder only.
std::string deviceIdentifierIn(const std::filesystem::path& root) {
  test::ManualTime time;
  LinuxDeviceFacts::Options options;
  options.applicationFolder = root / "app";
  options.deviceFolder = root / "device";
  LinuxDeviceFacts device(options);
  FileKeychain keychain(root / "keychain");
  ObjectCache cache({root / "app" / "Caches" / "OAKCache", &time.clock(), nullptr});
  ChildIdentity child(cache, keychain, device);
  ChildInfo::save(cache, child.childInfo());
  return child.deviceId();
}

TEST(ChildInfo, TheIdentifierOutlivesAReinstallButNotTheKeychain) {
  test::TempDir root;
  const std::string first = deviceIdentifierIn(root.path());
  EXPECT_EQ(first.size(), 32u);
  std::filesystem::remove_all(root / "app");
  EXPECT_EQ(deviceIdentifierIn(root.path()), first);
  std::filesystem::remove_all(root / "app");
  std::filesystem::remove_all(root / "keychain");
  EXPECT_NE(deviceIdentifierIn(root.path()), first);
}

TEST(EnrolmentBody, DescribesThisDeviceForEnrolment) {
  test::TestPorts ports;
  ports.agent().child().updateChildInfo([](ChildInfo& info) { info.pushToken = "ab12"; });
  const Json phone = EnrolmentBody::initWithEnrollCode("123456", ports.agent().child(), ports.device);
  EXPECT_EQ(phone.dump(), Json({{"platform", "2"},
                                {"enrollCode", "123456"},
                                {"deviceId", ports.agent().child().deviceId()},
                                {"clientType", 2},
                                {"deviceName", "Test Phone"},
                                {"token", "ab12"}})
                              .dump());
  auto values = ports.device.values();
  values.idiom = InterfaceIdiom::Pad;
  ports.device.set(values);
  EXPECT_EQ(EnrolmentBody::initWithEnrollCode("1", ports.agent().child(), ports.device)["platform"], "3");
}

TEST(Agent, TheUpgradeAlertIsReusedAndOpensTheInstallationLink) {
  test::TestPorts ports;
  auto& agent = ports.agent();
  agent.showUpgradeAlert();
  EXPECT_FALSE(ports.screenHost.openAlert()) << "shown in a later turn of the main loop";
  ports.time.settle();
  const auto alert = ports.screenHost.openAlert();
  ASSERT_TRUE(alert);
  EXPECT_EQ(alert->title, "刺猬家发现新版本请升级");
  EXPECT_EQ(alert->message, "");
  EXPECT_EQ(alert->buttons, (std::vector<std::string>{"确定"}));
  ports.screenHost.clickAlertButton(0);
  agent.showUpgradeAlert();
  ports.time.settle();
  ports.screenHost.clickAlertButton(0);
  EXPECT_EQ(ports.urls.opened(),
            std::vector<std::string>(
                2, "itms-services://?action=download-manifest&url=" + ports.settings.installManifestUrl));
  EXPECT_EQ(ports.screenHost.lines("alert").size(), 2u);
}

TEST(ChildIdentity, BindingFlagAndBillsCounterComeFromTheCache) {
  test::TestPorts ports;
  auto& user = ports.agent().child();
  EXPECT_FALSE(user.isBound());
  EXPECT_FALSE(user.billsNumber().has_value());
  ports.agent().cache().setBool(true, "binding");
  ports.agent().cache().setObjectValue(CacheObject(Json(1)), "billsNumber");
  EXPECT_TRUE(user.isBound());
  EXPECT_EQ(user.billsNumber(), 1);
}

}  // namespace
}  // namespace twig
