#include "platform/ApplicationEvents.h"
#include "storage/ObjectCache.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <atomic>
#include <csignal>
#include <thread>

#include "control/ControlGroupRecord.h"
#include "platform/AtomicFile.h"
#include "storage/StoredNames.h"
#include "tests/fakes/ManualTime.h"
#include "tests/fakes/TempDir.h"

namespace twig {
namespace {

using namespace std::chrono_literals;

class ObjectCacheTest : public ::testing::Test {
 protected:
  std::unique_ptr<ObjectCache> open() {
    ObjectCache::Dependencies dependencies;
    dependencies.directory = dir / "Caches" / "twig-test" / "OAKCache";
    dependencies.clock = &time.clock();
    dependencies.notifications = &notifications;
    return std::make_unique<ObjectCache>(std::move(dependencies));
  }
  std::filesystem::path cacheDir() const { return dir / "Caches" / "twig-test" / "OAKCache"; }
  static std::string text(ObjectCache& cache, const std::string& key) {
    auto object = cache.objectForKey(key);
    return object && object->stringValue() ? *object->stringValue() : "<miss>";
  }

  test::TempDir dir;
  test::ManualTime time;
  NotificationCenter notifications;
};

TEST_F(ObjectCacheTest, AFreshCacheMakesItsFolderAndMissesEverything) {
  auto cache = open();
  EXPECT_TRUE(std::filesystem::is_directory(cacheDir()));
  EXPECT_TRUE(cache->allKeys().empty());
  EXPECT_FALSE(cache->objectForKey("binding").has_value());
  EXPECT_FALSE(cache->hasCacheForKey("binding"));
  EXPECT_EQ(cache->defaultTimeoutInterval(), 0);
  EXPECT_EQ(cache->defaultCacheMemoryLimit(), 10);
}

TEST_F(ObjectCacheTest, ValuesComeBackWithTheirTypes) {
  auto cache = open();
  cache->setObjectValue(CacheObject(Json(true)), "flag");
  cache->setObjectValue(CacheObject(Json(1)), "number");
  cache->setObjectValue(CacheObject(Json("1")), "text");
  const Json messages =
      Json::parse(R"([{"EventOnline":{"commandUuid":"A","createTime":"1"}},{"b":[1,2.5,null]}])");
  cache->setObjectValue(CacheObject(messages), "publishMessages");
  // A dictionary shaped like a model archive must stay a dictionary.
  const Json lookalike = Json::parse(R"({"model":{"class":"TWIGAppControlGroupModel","members":{}}})");
  cache->setObjectValue(CacheObject(lookalike), "lookalike");
  ControlGroupRecord group;
  group.groupName = "游戏";
  group.type = Json(2);
  cache->setObjectValue(CacheObject::model(group), "group");
  cache->setObjectValue(CacheObject::models(std::vector<ControlGroupRecord>{group, ControlGroupRecord()}),
                        "groups");

  auto reopened = open();  // from the files, not the memory table
  const auto flag = reopened->objectForKey("flag");
  EXPECT_EQ(flag->plain(), Json(true));
  EXPECT_TRUE(flag->plain()->is_boolean());
  EXPECT_TRUE(reopened->objectForKey("number")->plain()->is_number_integer());
  EXPECT_EQ(reopened->objectForKey("text")->stringValue(), "1");
  EXPECT_EQ(reopened->objectForKey("publishMessages")->plain(), messages);
  EXPECT_EQ(reopened->objectForKey("lookalike")->plain(), lookalike);
  EXPECT_FALSE(reopened->objectForKey("lookalike")->modelValue<ControlGroupRecord>());

  const auto restored = reopened->objectForKey("group")->modelValue<ControlGroupRecord>();
  ASSERT_TRUE(restored);
  EXPECT_EQ(restored->groupId, group.groupId);
  EXPECT_EQ(restored->groupName, "游戏");
  EXPECT_EQ(restored->type, Json(2));
  EXPECT_FALSE(reopened->objectForKey("group")->plain().has_value());
  const auto list = reopened->objectForKey("groups")->modelArray<ControlGroupRecord>();
  ASSERT_TRUE(list);
  ASSERT_EQ(list->size(), 2u);
  EXPECT_EQ((*list)[0].groupName, "游戏");
}

TEST_F(ObjectCacheTest, TheEleventhKeyEvictsTheLeastRecentlyUsed) {
  auto cache = open();
  for (int i = 0; i <= 10; ++i)
    cache->setObjectValue(CacheObject(Json("v" + std::to_string(i))), "k" + std::to_string(i));
  auto recent = cache->recentlyAccessedKeys();
  ASSERT_EQ(recent.size(), 10u);
  EXPECT_EQ(recent.front(), "k10");
  EXPECT_EQ(recent.back(), "k1");

  // k0 is no longer in memory: a read must come from its file.
  ASSERT_TRUE(AtomicFile::write(cacheDir() / "k0", CacheObject(Json("changed on disk")).encode()));
  EXPECT_EQ(text(*cache, "k0"), "changed on disk");
  recent = cache->recentlyAccessedKeys();
  EXPECT_EQ(recent.size(), 10u);
  EXPECT_EQ(recent.front(), "k0");
  EXPECT_EQ(recent.back(), "k2");

  // k5 is still in memory: its file is not read.
  ASSERT_TRUE(AtomicFile::write(cacheDir() / "k5", CacheObject(Json("changed on disk")).encode()));
  EXPECT_EQ(text(*cache, "k5"), "v5");
}

TEST_F(ObjectCacheTest, RewritingAKeyMovesItToTheFrontWithoutEviction) {
  auto cache = open();
  for (int i = 0; i < 10; ++i) cache->setObjectValue(CacheObject(Json(i)), "k" + std::to_string(i));
  cache->setObjectValue(CacheObject(Json(100)), "k3");
  const auto recent = cache->recentlyAccessedKeys();
  EXPECT_EQ(recent, (std::vector<std::string>{"k3", "k9", "k8", "k7", "k6", "k5", "k4", "k2", "k1", "k0"}));
  EXPECT_EQ(cache->objectForKey("k3")->integerValue(), 100);
}

TEST_F(ObjectCacheTest, ARemovalIsSeenByTheNextReadButTheIndexKeepsTheKey) {
  auto cache = open();
  cache->setObjectValue(CacheObject(Json("x")), "localStash");
  cache->removeCacheForKey("localStash");
  EXPECT_FALSE(cache->objectForKey("localStash").has_value());
  EXPECT_FALSE(cache->hasCacheForKey("localStash"));
  EXPECT_EQ(cache->allKeys(), (std::vector<std::string>{"localStash"}));
  EXPECT_EQ(cache->getSingleCacheSizeForKey("localStash"), 0);
  EXPECT_TRUE(cache->recentlyAccessedKeys().empty());
}

TEST_F(ObjectCacheTest, ExpiredEntriesAreSweptAtTheNextStart) {
  {
    auto cache = open();
    cache->setObjectValue(CacheObject(Json("soon gone")), "short", 60);
    cache->setObjectValue(CacheObject(Json("kept")), "forever");
    cache->setObjectValue(CacheObject(Json("later")), "long", 3600);
  }
  time.clock().advance(61s);
  {
    auto cache = open();
    // Expiry is looked at only when the cache starts; this one started after 61 s.
    EXPECT_FALSE(std::filesystem::exists(cacheDir() / "short"));
    EXPECT_EQ(cache->allKeys(), (std::vector<std::string>{"forever", "long"}));
    EXPECT_EQ(text(*cache, "forever"), "kept");
    EXPECT_EQ(text(*cache, "long"), "later");
    // The index file is not rewritten by the sweep ...
    EXPECT_NE(AtomicFile::read(cacheDir() / stored::kCacheIndexFile)->find("<key>short</key>"),
              std::string::npos);
    cache->setObjectValue(CacheObject(Json(1)), "other");
    // ... but by the next write.
    EXPECT_EQ(AtomicFile::read(cacheDir() / stored::kCacheIndexFile)->find("<key>short</key>"),
              std::string::npos);
  }
  time.clock().advance(10h);
  auto cache = open();
  EXPECT_EQ(cache->allKeys(), (std::vector<std::string>{"forever", "other"}));
}

TEST_F(ObjectCacheTest, ClearAllRemovesEveryFileButTheIndex) {
  auto cache = open();
  cache->setObjectValue(CacheObject(Json(1)), "a");
  cache->setObjectValue(CacheObject(Json(2)), "b");
  // A kill between a first write's two renames leaves a data file that the index does not name.
  ASSERT_TRUE(AtomicFile::write(cacheDir() / "binding", CacheObject(Json(true)).encode()));
  cache->clearAllCache();
  EXPECT_TRUE(cache->allKeys().empty());
  EXPECT_FALSE(cache->objectForKey("a").has_value());
  EXPECT_TRUE(cache->recentlyAccessedKeys().empty());
  EXPECT_FALSE(std::filesystem::exists(cacheDir() / "binding"));
  EXPECT_FALSE(open()->objectForKey("binding").has_value());
  const auto index = AtomicFile::read(cacheDir() / stored::kCacheIndexFile);
  ASSERT_TRUE(index);
  EXPECT_NE(index->find("<dict/>"), std::string::npos) << *index;
}

TEST_F(ObjectCacheTest, KeysThatWouldEscapeOrDamageTheFolderAreRefused) {
  auto cache = open();
  cache->setObjectValue(CacheObject(Json("ok")), "good");
  for (const std::string& key :
       {std::string(), std::string("."), std::string(".."), std::string("../escape"), std::string("a/b"),
        std::string("nul\0byte", 8), std::string("OAKCache.plist"), std::string(".~a.tmp"),
        std::string(".~binding.1.2.tmp")}) {
    cache->setObjectValue(CacheObject(Json("evil")), key);
    EXPECT_FALSE(cache->objectForKey(key).has_value()) << key;
    EXPECT_FALSE(cache->hasCacheForKey(key)) << key;
    cache->removeCacheForKey(key);
  }
  EXPECT_EQ(cache->allKeys(), (std::vector<std::string>{"good"}));
  EXPECT_FALSE(std::filesystem::exists(cacheDir().parent_path() / "escape"));
  auto reopened = open();  // the index still parses
  EXPECT_EQ(text(*reopened, "good"), "ok");
  EXPECT_EQ(reopened->allKeys(), (std::vector<std::string>{"good"}));
}

TEST_F(ObjectCacheTest, BytesThatCannotBeDecodedReadAsAMiss) {
  auto cache = open();
  cache->setDataValue("not an archive", "raw", 0);
  EXPECT_FALSE(cache->objectForKey("raw").has_value());
  ASSERT_TRUE(
      AtomicFile::write(cacheDir() / "damaged", R"({"archive":"twig/1","root":{"model":{"class":1}}})"));
  EXPECT_FALSE(cache->objectForKey("damaged").has_value());
  ASSERT_TRUE(AtomicFile::write(cacheDir() / stored::kCacheIndexFile, "<plist>garbage"));
  auto reopened = open();  // a damaged index starts empty
  EXPECT_TRUE(reopened->allKeys().empty());
}

TEST_F(ObjectCacheTest, AFileNestedTooDeepIsAMissNotACrash) {
  // A model's members are the one place the archive's own depth check does not look into; a read
  // copies what it returns, and a copy of 100,000 levels would overflow the stack.
  auto cache = open();
  const std::string deep = std::string(100000, '[') + std::string(100000, ']');
  ASSERT_TRUE(AtomicFile::write(
      cacheDir() / "deep",
      R"({"archive":"twig/1","root":{"model":{"class":"TWIGAppControlGroupModel","members":{"week":)" + deep +
          "}}}}"));
  EXPECT_FALSE(cache->objectForKey("deep").has_value());
  // What the agent itself writes reads back, however its values nest within their own limits.
  Json nestedValue = Json::array();
  for (int i = 0; i < 60; ++i) nestedValue = Json::object({{"k", nestedValue}});
  cache->setObjectValue(CacheObject(nestedValue), "nested");
  cache->clearMemoryCache();
  ASSERT_TRUE(cache->objectForKey("nested").has_value());
  EXPECT_EQ(*cache->objectForKey("nested")->plain(), nestedValue);
}

TEST_F(ObjectCacheTest, AValueTheFileCouldNotTakeStaysReadableAndNeverGivesWayToTheOlderOne) {
  auto cache = open();
  cache->setDefaultCacheMemoryLimit(1);
  cache->setObjectValue(CacheObject(Json("stored")), "k");
  // A file-size limit makes the next, longer write fail as a full disk would; the old file stays.
  struct rlimit before {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
  const auto previousHandler = ::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = before;
  small.rlim_cur = 64;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  cache->setObjectValue(CacheObject(Json(std::string(200, 'n'))), "k");
  ::setrlimit(RLIMIT_FSIZE, &before);
  ::signal(SIGXFSZ, previousHandler);
  ASSERT_EQ(text(*cache, "k"), std::string(200, 'n'));
  // Neither other keys nor a memory warning push it out: the file still holds the older value.
  cache->setObjectValue(CacheObject(Json("x")), "other");
  cache->objectForKey("other");
  notifications.post(ApplicationEvents::kDidReceiveMemoryWarning);
  EXPECT_EQ(text(*cache, "k"), std::string(200, 'n'));
  // Written at last: an ordinary key again, evicted like any other and read from its file.
  cache->setObjectValue(CacheObject(Json("later")), "k");
  cache->objectForKey("other");
  EXPECT_EQ(cache->recentlyAccessedKeys(), std::vector<std::string>{"other"});
  EXPECT_EQ(text(*cache, "k"), "later");
}

TEST_F(ObjectCacheTest, PicturesAreStoredAsTheirBytes) {
  auto cache = open();
  const std::string png("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
  cache->setImage(png, "icon");
  EXPECT_EQ(cache->imageObjectForKey("icon"), png);
  cache->setImage("", "empty");
  EXPECT_FALSE(cache->hasCacheForKey("empty"));
  cache->setObjectValue(CacheObject(Json("text")), "notPicture");
  EXPECT_FALSE(cache->imageObjectForKey("notPicture").has_value());
  cache->setObjectValue(CacheObject::data("plain bytes"), "bytes");
  EXPECT_FALSE(cache->imageObjectForKey("bytes").has_value());
}

TEST_F(ObjectCacheTest, AMemoryWarningEmptiesTheMemoryTableOnly) {
  auto cache = open();
  cache->setObjectValue(CacheObject(Json("v")), "k");
  notifications.post(ApplicationEvents::kDidReceiveMemoryWarning);
  EXPECT_TRUE(cache->recentlyAccessedKeys().empty());
  EXPECT_EQ(text(*cache, "k"), "v");
}

TEST_F(ObjectCacheTest, SizesCountTheDataFiles) {
  auto cache = open();
  cache->setObjectValue(CacheObject(Json("abc")), "a");
  cache->setObjectValue(CacheObject(Json(std::string(1000, 'x'))), "b");
  const double a = cache->getSingleCacheSizeForKey("a");
  const double b = cache->getSingleCacheSizeForKey("b");
  EXPECT_EQ(a, static_cast<double>(std::filesystem::file_size(cacheDir() / "a")));
  EXPECT_GT(b, 1000);
  EXPECT_EQ(cache->getAllCacheSize(), a + b);
  EXPECT_EQ(cache->getSingleCacheSizeForKey("missing"), 0);
}

TEST_F(ObjectCacheTest, LeftoverTemporaryFilesAreRemovedAtStart) {
  { auto cache = open(); }
  ASSERT_TRUE(AtomicFile::write(cacheDir() / ".~k.123.4.tmp", "half written"));
  auto cache = open();
  EXPECT_FALSE(std::filesystem::exists(cacheDir() / ".~k.123.4.tmp"));
}

TEST_F(ObjectCacheTest, ManyThreadsWriteAndReadSafely) {
  auto cache = open();
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 50; ++i) {
        const std::string key = "t" + std::to_string(t) + "-" + std::to_string(i % 7);
        cache->setObjectValue(CacheObject(Json(i)), key);
        EXPECT_TRUE(cache->objectForKey(key).has_value());
        if (i % 10 == 0) cache->removeCacheForKey(key);
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(cache->allKeys().size(), 28u);
}

TEST_F(ObjectCacheTest, AReadFromTheFileNeverPutsAnOlderValueBackInMemory) {
  // One thread writes ever larger numbers under "k"; another keeps pushing "k" out of a one-key
  // memory table, so that reads of "k" go to the file while writes land; three more must each
  // never see the number go down. The interleaving that once broke this: a reader misses memory,
  // is held up until the next write has replaced the file, and returns the newer number from the
  // file while memory still held the previous one, which its next read then returned.
  auto cache = open();
  cache->setDefaultCacheMemoryLimit(1);
  cache->setObjectValue(CacheObject(Json(0)), "k");
  cache->setObjectValue(CacheObject(Json("x")), "other");
  std::atomic<bool> done{false};
  std::thread writer([&] {
    for (int i = 1; i <= 1000; ++i) cache->setObjectValue(CacheObject(Json(i)), "k");
    done = true;
  });
  std::thread evictor([&] {
    while (!done) {
      cache->objectForKey("other");
      cache->objectForKey("k");
    }
  });
  std::atomic<int> decreases{0};
  std::vector<std::thread> readers;
  for (int r = 0; r < 3; ++r) {
    readers.emplace_back([&] {
      std::int64_t highest = 0;
      while (!done) {
        const auto value = cache->objectForKey("k");
        if (!value) continue;
        const std::int64_t number = value->integerValue().value_or(-1);
        if (number < highest) ++decreases;
        highest = std::max(highest, number);
      }
    });
  }
  writer.join();
  evictor.join();
  for (auto& reader : readers) reader.join();
  EXPECT_EQ(decreases, 0);
  EXPECT_EQ(cache->objectForKey("k")->integerValue(), 1000);
}

}  // namespace
}  // namespace twig
