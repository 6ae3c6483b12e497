#include "storage/Cache.h"

#include <gtest/gtest.h>

#include "control/AppRecord.h"
#include "control/ControlGroupRecord.h"
#include "platform/AtomicFile.h"
#include "storage/ObjectCache.h"
#include "storage/TableStore.h"
#include "tests/fakes/TestPorts.h"

namespace twig {
namespace {

class CacheTest : public ::testing::Test {
 protected:
  test::TestPorts ports;
};

TEST_F(CacheTest, LivesUnderTheProcessNameInTheCachesFolder) {
  Cache::setBool(true, "binding");
  EXPECT_TRUE(std::filesystem::exists(ports.directories.caches() / "twig-test" / "OAKCache" / "binding"));
}

TEST_F(CacheTest, BooleansAndAbsentValues) {
  EXPECT_FALSE(Cache::boolForKey("binding"));
  Cache::setBool(true, "binding");
  EXPECT_TRUE(Cache::boolForKey("binding"));
  Cache::setBool(false, "binding");
  EXPECT_FALSE(Cache::boolForKey("binding"));
  EXPECT_TRUE(Cache::hasCacheForKey("binding"));  // NO is stored, not removed

  Cache::setObjectValue(CacheObject(Json(1)), "billsNumber");
  Cache::setObjectValue(std::nullopt, "billsNumber");  // no value is not a removal
  EXPECT_EQ(Cache::objectForKey("billsNumber")->integerValue(), 1);

  Cache::setBool(true, "");
  EXPECT_FALSE(Cache::boolForKey(""));
  EXPECT_FALSE(Cache::hasCacheForKey(""));
  Cache::removeObjectForKey("billsNumber");
  EXPECT_FALSE(Cache::objectForKey("billsNumber").has_value());
}

TEST_F(CacheTest, ResetDefaultsEmptiesEverythingButTheUserDefaults) {
  Cache::setBool(true, "binding");
  Cache::setObjectValue(CacheObject(Json::array()), "publishMessages");
  ControlGroupRecord group;
  Cache::setObjectValue(CacheObject::model(group), "lockTime");
  const TableStore store;
  ASSERT_TRUE(store.insertData(group));
  AppRecord app;
  app.appPackage = "com.example.game";
  ASSERT_TRUE(store.insertData(app));
  ports.userDefaults.setBool("kChildAppsCache", true);
  Cache::setTablesToEmptyOnReset(
      {std::make_shared<ControlGroupRecord>(), std::make_shared<AppRecord>()});

  Cache::resetDefaults();
  Cache::setTablesToEmptyOnReset({});

  EXPECT_EQ(ports.imageCache.clears(), 1);
  EXPECT_TRUE(ObjectCache::sharedGlobalCache().allKeys().empty());
  EXPECT_FALSE(Cache::boolForKey("binding"));
  const auto folder = ports.directories.caches() / "twig-test" / "OAKCache";
  for (const char* key : {"binding", "publishMessages", "lockTime"}) {
    EXPECT_FALSE(std::filesystem::exists(folder / key)) << key;
  }
  EXPECT_NE(AtomicFile::read(folder / ObjectCache::kIndexFileName)->find("<dict/>"), std::string::npos);
  EXPECT_FALSE(store.fetchAllData(ControlGroupRecord()).has_value());
  EXPECT_FALSE(store.fetchAllData(AppRecord()).has_value());
  EXPECT_TRUE(ports.userDefaults.boolForKey("kChildAppsCache"));
}

}  // namespace
}  // namespace twig
