#include "platform/linux/FileKeychain.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/fakes/TempDir.h"

namespace twig {
namespace {

TEST(FileKeychain, KeepsOneEntryPerServiceAndAccountAcrossInstances) {
  test::TempDir dir;
  {
    FileKeychain keychain(dir / "keychain");
    EXPECT_FALSE(keychain.read("com.orvane.tessel.children", "UUID").has_value());
    ASSERT_TRUE(keychain.write("com.orvane.tessel.children", "UUID", "abc"));
    ASSERT_TRUE(keychain.write("com.orvane.tessel.children", "other", "def"));
    ASSERT_TRUE(keychain.write("another.service", "UUID", "ghi"));
  }
  FileKeychain reopened(dir / "keychain");
  EXPECT_EQ(reopened.read("com.orvane.tessel.children", "UUID"), "abc");
  EXPECT_EQ(reopened.read("com.orvane.tessel.children", "other"), "def");
  EXPECT_EQ(reopened.read("another.service", "UUID"), "ghi");
  EXPECT_TRUE(reopened.remove("com.orvane.tessel.children", "UUID"));
  EXPECT_FALSE(reopened.read("com.orvane.tessel.children", "UUID").has_value());
  EXPECT_FALSE(reopened.remove("com.orvane.tessel.children", "UUID"));
}

TEST(FileKeychain, EntriesArePrivate) {
  test::TempDir dir;
  FileKeychain keychain(dir / "keychain");
  ASSERT_TRUE(keychain.write("s", "a", "secret"));
  struct stat info {};
  ASSERT_EQ(::stat((dir / "keychain" / "s" / "a").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST(FileKeychain, NamesCannotEscapeTheFolder) {
  test::TempDir dir;
  FileKeychain keychain(dir / "keychain");
  ASSERT_TRUE(keychain.write("..", "../../escape", "x"));
  ASSERT_TRUE(keychain.write("", "", "empty"));
  EXPECT_EQ(keychain.read("..", "../../escape"), "x");
  EXPECT_EQ(keychain.read("", ""), "empty");
  EXPECT_FALSE(std::filesystem::exists(dir / "escape"));
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.path())) {
    EXPECT_EQ(entry.path().string().rfind((dir / "keychain").string(), 0), 0u) << entry.path();
  }
  EXPECT_EQ(FileKeychain::encodeName("com.orvane.tessel.children"), "com.orvane.tessel.children");
  EXPECT_EQ(FileKeychain::encodeName(".."), "%2E.");
  EXPECT_EQ(FileKeychain::encodeName("a/b"), "a%2Fb");
}

}  // namespace
}  // namespace twig
