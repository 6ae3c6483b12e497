#include <gtest/gtest.h>

#include <thread>

#include "api/Digest.h"
#include "app/SharedObjects.h"
#include "identity/EnrolmentBody.h"
#include "identity/ChildInfo.h"
#include "identity/ChildUser.h"
#include "platform/linux/FileKeychain.h"
#include "platform/linux/LinuxDeviceFacts.h"
#include "storage/Cache.h"
#include "tests/fakes/TestPorts.h"

namespace twig {
namespace {

TEST(ChildInfo, AnEmptyKeychainGetsTheMD5OfTheVendorIdentifier) {
  test::TestPorts ports;
  const auto info = ChildInfo::load();
  const std::string expected = Digest::MD5(ports.device.vendorIdentifier());
  EXPECT_EQ(info.deviceId, expected);
  EXPECT_EQ(ports.keychain.read("com.orvane.tessel.children", "UUID"), expected);
  EXPECT_EQ(info.parentDN, "");
  EXPECT_EQ(info.parentDeviceId, "");
  EXPECT_EQ(info.pushToken, "");
  EXPECT_FALSE(Cache::hasCacheForKey(ChildInfo::kCacheKey)) << "fetching does not store";
}

TEST(ChildInfo, AnIdentifierAlreadyInTheKeychainIsKept) {
  test::TestPorts ports;
  ports.keychain.write("com.orvane.tessel.children", "UUID", "0123456789abcdef0123456789abcdef");
  EXPECT_EQ(ChildInfo::load().deviceId, "0123456789abcdef0123456789abcdef");
  EXPECT_EQ(ports.keychain.writeCount(), 1);
  // An empty entry counts as none.
  ports.keychain.write("com.orvane.tessel.children", "UUID", "");
  EXPECT_EQ(ChildInfo::load().deviceId,
            Digest::MD5(ports.device.vendorIdentifier()));
}

TEST(ChildInfo, AStoredRecordIsUsedUnchangedAndKeychainTroublesAreSurvived) {
  test::TestPorts ports;
  ChildInfo stored;
  stored.deviceId = "stored-id";
  stored.parentDN = "13800000000";
  ChildInfo::save(stored);
  ports.keychain.failReads(true);
  EXPECT_EQ(ChildInfo::load().deviceId, "stored-id");
  Cache::removeObjectForKey(ChildInfo::kCacheKey);
  ports.keychain.failWrites(true);
  EXPECT_EQ(ChildInfo::load().deviceId,
            Digest::MD5(ports.device.vendorIdentifier()));
}

// The real Linux keychain and device facts: a reinstall removes the application's folder only.
std::string deviceIdentifierIn(const std::filesystem::path& root) {
  test::TestPorts ports;
  LinuxDeviceFacts::Options options;
  options.applicationFolder = root / "app";
  options.deviceFolder = root / "device";
  LinuxDeviceFacts device(options);
  FileKeychain keychain(root / "keychain");
  DataDirectories directories(root / "app");
  Ports installed = Ports::current();
  installed.device = &device;
  installed.keychain = &keychain;
  installed.directories = &directories;
  Ports::install(installed);
  const std::string identifier = ChildUser::sharedChildUser().deviceId();
  ChildInfo::save(ChildUser::sharedChildUser().childInfo());
  SharedObjects::shutdown();  // before the ports above go away
  return identifier;
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
  ChildUser::sharedChildUser().updateChildInfo(
      [](ChildInfo& info) { info.pushToken = "ab12"; });
  const Json phone = EnrolmentBody::initWithEnrollCode("123456");
  EXPECT_EQ(phone.dump(), Json({{"platform", "2"},
                                {"enrollCode", "123456"},
                                {"deviceId", ChildUser::sharedChildUser().deviceId()},
                                {"clientType", 2},
                                {"deviceName", "Test Phone"},
                                {"token", "ab12"}})
                              .dump());
  auto values = ports.device.values();
  values.idiom = InterfaceIdiom::Pad;
  ports.device.set(values);
  EXPECT_EQ(EnrolmentBody::initWithEnrollCode("1")["platform"], "3");
}

TEST(ChildUser, TheBarIsOneAndOverlaysReachTheMainLoop) {
  test::TestPorts ports;
  auto& user = ChildUser::sharedChildUser();
  int taps = 0;
  user.hideNoNetworkBar();  // no bar: nothing to see
  user.showNetWorkWithClick([&] { ++taps; });
  user.showNetWorkWithClick([&] { taps += 10; });
  EXPECT_EQ(ports.screenHost.lines("bar"), (std::vector<std::string>{"bar show"}));
  ports.screenHost.tapNoNetworkBar();
  EXPECT_EQ(taps, 10);
  user.hideNoNetworkBar();
  user.hideNoNetworkBar();
  EXPECT_EQ(ports.screenHost.lines("bar"), (std::vector<std::string>{"bar show", "bar hide"}));

  ports.time.settle();
  std::thread other([&] { user.showErrorMessage("绑定失败"); });
  other.join();
  EXPECT_TRUE(ports.screenHost.lines("overlay").empty())
      << "shown on the main loop, not on the calling thread";
  ports.time.settle();
  user.showSuccessMessage("登陆成功");
  user.showProgressMessage("请稍候");
  user.dismissHUD();
  EXPECT_EQ(ports.screenHost.lines("overlay"),
            (std::vector<std::string>{"overlay error 绑定失败", "overlay success 登陆成功",
                                      "overlay progress 请稍候", "overlay dismiss"}));
}

TEST(ChildUser, TheUpgradeAlertIsReusedAndOpensTheInstallationLink) {
  test::TestPorts ports;
  auto& user = ChildUser::sharedChildUser();
  user.showEventUpgrade();
  EXPECT_FALSE(ports.screenHost.openAlert()) << "shown in a later turn of the main loop";
  ports.time.settle();
  const auto alert = ports.screenHost.openAlert();
  ASSERT_TRUE(alert);
  EXPECT_EQ(alert->title, "刺猬家发现新版本请升级");
  EXPECT_EQ(alert->message, "");
  EXPECT_EQ(alert->buttons, (std::vector<std::string>{"确定"}));
  ports.screenHost.clickAlertButton(0);
  user.showEventUpgrade();
  ports.time.settle();
  ports.screenHost.clickAlertButton(0);
  EXPECT_EQ(ports.urls.opened(),
            std::vector<std::string>(
                2, "itms-services://?action=download-manifest&url=" + ports.settings.installManifestUrl));
  EXPECT_EQ(ports.screenHost.lines("alert").size(), 2u);
}

TEST(ChildUser, BindingFlagAndBillsCounterComeFromTheCache) {
  test::TestPorts ports;
  auto& user = ChildUser::sharedChildUser();
  EXPECT_FALSE(user.isBound());
  EXPECT_FALSE(user.billsNumber().has_value());
  Cache::setBool(true, "binding");
  Cache::setObjectValue(CacheObject(Json(1)), "billsNumber");
  EXPECT_TRUE(user.isBound());
  EXPECT_EQ(user.billsNumber(), 1);
}

}  // namespace
}  // namespace twig
