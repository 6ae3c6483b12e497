#include "storage/ObjectCache.h"

#include <gtest/gtest.h>

#include "app/Agent.h"
#include "control/AppRecord.h"
#include "control/ControlGroupRecord.h"
#include "platform/AtomicFile.h"
#include "storage/ObjectCache.h"
#include "storage/StoredNames.h"
#include "storage/TableStore.h"
#include "tests/fakes/TestPorts.h"

namespace twig {
namespace {

class CacheTest : public ::testing::Test {
 protected:
  test::TestPorts ports;
};

TEST_F(CacheTest, LivesUnderTheProcessNameInTheCachesFolder) {
  ports.agent().cache().setBool(true, "binding");
  EXPECT_TRUE(std::filesystem::exists(ports.directories.caches() / "twig-test" / "OAKCache" / "binding"));
}

TEST_F(CacheTest, BooleansAndAbsentValues) {
  EXPECT_FALSE(ports.agent().cache().boolForKey("binding"));
  ports.agent().cache().setBool(true, "binding");
  EXPECT_TRUE(ports.agent().cache().boolForKey("binding"));
  ports.agent().cache().setBool(false, "binding");
  EXPECT_FALSE(ports.agent().cache().boolForKey("binding"));
  EXPECT_TRUE(ports.agent().cache().hasCacheForKey("binding"));  // NO is stored, not removed

  ports.agent().cache().setObjectValue(CacheObject(Json(1)), "billsNumber");
  ports.agent().cache().setObjectValue(std::nullopt, "billsNumber");  // no value is not a removal
  EXPECT_EQ(ports.agent().cache().objectForKey("billsNumber")->integerValue(), 1);

  ports.agent().cache().setBool(true, "");
  EXPECT_FALSE(ports.agent().cache().boolForKey(""));
  EXPECT_FALSE(ports.agent().cache().hasCacheForKey(""));
  ports.agent().cache().removeCacheForKey("billsNumber");
  EXPECT_FALSE(ports.agent().cache().objectForKey("billsNumber").has_value());
}

TEST_F(CacheTest, ResetDefaultsEmptiesEverythingButTheUserDefaults) {
  ports.agent().cache().setBool(true, "binding");
  ports.agent().cache().setObjectValue(CacheObject(Json::array()), "publishMessages");
  ControlGroupRecord group;
  ports.agent().cache().setObjectValue(CacheObject::model(group), "lockTime");
  const TableStore store{ports.agent().tables().databaseFile()};
  ASSERT_TRUE(store.insertData(group));
  AppRecord app;
  app.appPackage = "com.example.game";
  ASSERT_TRUE(store.insertData(app));
  ports.userDefaults.setBool("kChildAppsCache", true);

  ports.agent().eraseStoredState();

  EXPECT_EQ(ports.imageCache.clears(), 1);
  EXPECT_TRUE(ports.agent().cache().allKeys().empty());
  EXPECT_FALSE(ports.agent().cache().boolForKey("binding"));
  const auto folder = ports.directories.caches() / "twig-test" / "OAKCache";
  for (const char* key : {"binding", "publishMessages", "lockTime"}) {
    EXPECT_FALSE(std::filesystem::exists(folder / key)) << key;
  }
  EXPECT_NE(AtomicFile::read(folder / stored::kCacheIndexFile)->find("<dict/>"), std::string::npos);
  EXPECT_FALSE(store.fetchAllData(ControlGroupRecord()).has_value());
  EXPECT_FALSE(store.fetchAllData(AppRecord()).has_value());
  EXPECT_TRUE(ports.userDefaults.boolForKey("kChildAppsCache"));
}

}  // namespace
}  // namespace twig
