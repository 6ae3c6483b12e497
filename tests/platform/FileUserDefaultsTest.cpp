#include "platform/linux/FileUserDefaults.h"

#include <gtest/gtest.h>

#include "platform/AtomicFile.h"
#include "tests/fakes/TempDir.h"

namespace twig {
namespace {

TEST(FileUserDefaults, ValuesPersistAcrossInstances) {
  test::TempDir dir;
  const auto file = dir / "Preferences" / "defaults.json";
  {
    FileUserDefaults defaults(file);
    EXPECT_FALSE(defaults.boolForKey("kChildAppsCache"));
    defaults.setBool("kChildAppsCache", true);
    defaults.setObject("name", "刺猬家");
    defaults.setObject("gone", 1);
    defaults.removeObject("gone");
  }
  FileUserDefaults reopened(file);
  EXPECT_TRUE(reopened.boolForKey("kChildAppsCache"));
  EXPECT_EQ(reopened.objectForKey("name"), Json("刺猬家"));
  EXPECT_FALSE(reopened.objectForKey("gone").has_value());
}

TEST(FileUserDefaults, ADamagedFileStartsEmpty) {
  test::TempDir dir;
  const auto file = dir / "defaults.json";
  ASSERT_TRUE(AtomicFile::write(file, "{not json"));
  FileUserDefaults defaults(file);
  EXPECT_FALSE(defaults.objectForKey("anything").has_value());
  defaults.setBool("ok", true);
  EXPECT_TRUE(FileUserDefaults(file).boolForKey("ok"));
}

TEST(UserDefaults, BoolForKeyReadsNumbersAndIgnoresOtherTypes) {
  test::TempDir dir;
  FileUserDefaults defaults(dir / "d.json");
  defaults.setObject("one", 1);
  defaults.setObject("zero", 0);
  defaults.setObject("text", "YES");
  EXPECT_TRUE(defaults.boolForKey("one"));
  EXPECT_FALSE(defaults.boolForKey("zero"));
  EXPECT_FALSE(defaults.boolForKey("text"));
}

}  // namespace
}  // namespace twig
