#include "platform/linux/LinuxDeviceFacts.h"

#include <gtest/gtest.h>

#include <regex>

#include "BuildConfig.h"
#include "tests/fakes/TempDir.h"

namespace twig {
namespace {

LinuxDeviceFacts::Options optionsIn(const test::TempDir& dir) {
  LinuxDeviceFacts::Options options;
  options.applicationFolder = dir / "app";
  options.deviceFolder = dir / "device";
  return options;
}

TEST(LinuxDeviceFacts, IdentifiersAreStableUuids) {
  test::TempDir dir;
  LinuxDeviceFacts facts(optionsIn(dir));
  const std::regex uuid("[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}");
  const std::string vendor = facts.vendorIdentifier();
  EXPECT_TRUE(std::regex_match(vendor, uuid)) << vendor;
  EXPECT_TRUE(std::regex_match(facts.advertisingIdentifier(), uuid));
  EXPECT_NE(vendor, facts.advertisingIdentifier());
  EXPECT_EQ(LinuxDeviceFacts(optionsIn(dir)).vendorIdentifier(), vendor);
}

TEST(LinuxDeviceFacts, AReinstallChangesTheVendorIdentifierOnly) {
  test::TempDir dir;
  std::string vendor;
  std::string advertising;
  {
    LinuxDeviceFacts facts(optionsIn(dir));
    vendor = facts.vendorIdentifier();
    advertising = facts.advertisingIdentifier();
  }
  std::filesystem::remove_all(dir / "app");
  LinuxDeviceFacts reinstalled(optionsIn(dir));
  EXPECT_NE(reinstalled.vendorIdentifier(), vendor);
  EXPECT_EQ(reinstalled.advertisingIdentifier(), advertising);
}

TEST(LinuxDeviceFacts, DescribesThisMachineAndBuild) {
  test::TempDir dir;
  auto options = optionsIn(dir);
  options.idiom = InterfaceIdiom::Pad;
  LinuxDeviceFacts facts(options);
  EXPECT_FALSE(facts.deviceName().empty());
  EXPECT_EQ(facts.interfaceIdiom(), InterfaceIdiom::Pad);
  EXPECT_EQ(facts.shortVersion(), build::kVersion);
  EXPECT_EQ(facts.bundleIdentifier(), "com.orvane.tessel.children");
  EXPECT_EQ(facts.processName(), "test_platform");
}

}  // namespace
}  // namespace twig
