#include "storage/TWIGCache.h"

#include <gtest/gtest.h>

#include "control/TWGIAppsModel.h"
#include "control/TWIGAppControlGroupModel.h"
#include "platform/AtomicFile.h"
#include "storage/OAKCache.h"
#include "storage/OAKFMDBManage.h"
#include "tests/fakes/TestPorts.h"

namespace twig {
namespace {

class TWIGCacheTest : public ::testing::Test {
 protected:
  test::TestPorts ports;
};

TEST_F(TWIGCacheTest, LivesUnderTheProcessNameInTheCachesFolder) {
  TWIGCache::setBool(true, "binding");
  EXPECT_TRUE(std::filesystem::exists(ports.directories.caches() / "twig-test" / "OAKCache" / "binding"));
}

TEST_F(TWIGCacheTest, BooleansAndAbsentValues) {
  EXPECT_FALSE(TWIGCache::boolForKey("binding"));
  TWIGCache::setBool(true, "binding");
  EXPECT_TRUE(TWIGCache::boolForKey("binding"));
  TWIGCache::setBool(false, "binding");
  EXPECT_FALSE(TWIGCache::boolForKey("binding"));
  EXPECT_TRUE(TWIGCache::hasCacheForKey("binding"));  // NO is stored, not removed

  TWIGCache::setObjectValue(CacheObject(Json(1)), "billsNumber");
  TWIGCache::setObjectValue(std::nullopt, "billsNumber");  // no value is not a removal
  EXPECT_EQ(TWIGCache::objectForKey("billsNumber")->integerValue(), 1);

  TWIGCache::setBool(true, "");
  EXPECT_FALSE(TWIGCache::boolForKey(""));
  EXPECT_FALSE(TWIGCache::hasCacheForKey(""));
  TWIGCache::removeObjectForKey("billsNumber");
  EXPECT_FALSE(TWIGCache::objectForKey("billsNumber").has_value());
}

TEST_F(TWIGCacheTest, ResetDefaultsEmptiesEverythingButTheUserDefaults) {
  TWIGCache::setBool(true, "binding");
  TWIGCache::setObjectValue(CacheObject(Json::array()), "publishMessages");
  TWIGAppControlGroupModel group;
  TWIGCache::setObjectValue(CacheObject::model(group), "lockTime");
  const OAKFMDBManage store;
  ASSERT_TRUE(store.insertData(group));
  TWGIAppsModel app;
  app.appPackage = "com.example.game";
  ASSERT_TRUE(store.insertData(app));
  ports.userDefaults.setBool("kChildAppsCache", true);
  TWIGCache::setTablesToEmptyOnReset(
      {std::make_shared<TWIGAppControlGroupModel>(), std::make_shared<TWGIAppsModel>()});

  TWIGCache::resetDefaults();
  TWIGCache::setTablesToEmptyOnReset({});

  EXPECT_EQ(ports.imageCache.clears(), 1);
  EXPECT_TRUE(OAKCache::sharedGlobalCache().allKeys().empty());
  EXPECT_FALSE(TWIGCache::boolForKey("binding"));
  const auto folder = ports.directories.caches() / "twig-test" / "OAKCache";
  for (const char* key : {"binding", "publishMessages", "lockTime"}) {
    EXPECT_FALSE(std::filesystem::exists(folder / key)) << key;
  }
  EXPECT_NE(AtomicFile::read(folder / OAKCache::kIndexFileName)->find("<dict/>"), std::string::npos);
  EXPECT_FALSE(store.fetchAllData(TWIGAppControlGroupModel()).has_value());
  EXPECT_FALSE(store.fetchAllData(TWGIAppsModel()).has_value());
  EXPECT_TRUE(ports.userDefaults.boolForKey("kChildAppsCache"));
}

}  // namespace
}  // namespace twig
