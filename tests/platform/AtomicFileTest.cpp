#include "platform/AtomicFile.h"

#include <gtest/gtest.h>

#include "tests/fakes/TempDir.h"

namespace twig {
namespace {

TEST(AtomicFile, WritesReplacesAndLeavesNoTemporaryFiles) {
  test::TempDir dir;
  const auto file = dir / "value";
  EXPECT_FALSE(AtomicFile::read(file).has_value());
  ASSERT_TRUE(AtomicFile::write(file, "first"));
  ASSERT_TRUE(AtomicFile::write(file, std::string("second\0binary", 13)));
  EXPECT_EQ(AtomicFile::read(file), std::string("second\0binary", 13));
  int entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) ++entries;
  EXPECT_EQ(entries, 1);
}

TEST(AtomicFile, FailedWriteKeepsTheOldContent) {
  test::TempDir dir;
  EXPECT_FALSE(AtomicFile::write(dir / "missing-folder" / "value", "x"));
  const auto file = dir / "value";
  ASSERT_TRUE(AtomicFile::write(file, "old"));
  std::filesystem::create_directory(dir / "blocker");
  // Renaming a file over a directory fails: the write reports it and nothing changes.
  EXPECT_FALSE(AtomicFile::write(dir / "blocker", "new"));
  EXPECT_EQ(AtomicFile::read(file), "old");
  EXPECT_FALSE(AtomicFile::read(dir / "blocker").has_value());
}

}  // namespace
}  // namespace twig
