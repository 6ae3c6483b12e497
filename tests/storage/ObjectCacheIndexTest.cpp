#include "storage/ObjectCacheIndex.h"

#include <gtest/gtest.h>

namespace twig {
namespace {

TEST(ObjectCacheIndex, DatesAndNeverRoundTripThroughAnXmlPropertyList) {
  std::map<std::string, ObjectCacheIndex::Expiry> entries;
  entries["binding"] = std::nullopt;
  entries["short"] = WallTime(std::chrono::seconds(1480000000)) + std::chrono::microseconds(250000);
  entries["刺猬"] = WallTime(std::chrono::seconds(1000000000));
  const std::string xml = ObjectCacheIndex::toXml(entries);
  EXPECT_NE(xml.find("<?xml"), std::string::npos);
  EXPECT_NE(xml.find("<key>binding</key>"), std::string::npos);
  EXPECT_NE(xml.find("<integer>0</integer>"), std::string::npos);
  EXPECT_NE(xml.find("<date>2016-11-24T15:06:40Z</date>"), std::string::npos) << xml;
  const auto back = ObjectCacheIndex::fromXml(xml);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->size(), 3u);
  EXPECT_FALSE(back->at("binding").has_value());
  EXPECT_EQ(std::chrono::floor<std::chrono::seconds>(*back->at("short")),
            WallTime(std::chrono::seconds(1480000000)));
  EXPECT_EQ(back->at("刺猬"), WallTime(std::chrono::seconds(1000000000)));
}

TEST(ObjectCacheIndex, DamagedOrForeignFilesAreRefused) {
  EXPECT_FALSE(ObjectCacheIndex::fromXml("").has_value());
  EXPECT_FALSE(ObjectCacheIndex::fromXml("<plist><dict><key>a</key>").has_value());
  EXPECT_FALSE(ObjectCacheIndex::fromXml(ObjectCacheIndex::toXml({}).replace(0, 5, "<oops")).has_value());
  const auto array = ObjectCacheIndex::fromXml(
      R"(<?xml version="1.0" encoding="UTF-8"?><plist version="1.0"><array><integer>0</integer></array></plist>)");
  EXPECT_FALSE(array.has_value());
  const auto mixed =
      ObjectCacheIndex::fromXml(R"(<?xml version="1.0" encoding="UTF-8"?><plist version="1.0"><dict>)"
                                R"(<key>ok</key><integer>0</integer><key>odd</key><string>x</string>)"
                                R"(</dict></plist>)");
  ASSERT_TRUE(mixed);
  EXPECT_EQ(mixed->size(), 1u);
  EXPECT_TRUE(mixed->count("ok"));
}

}  // namespace
}  // namespace twig
