#include "platform/MirroredKeychain.h"

#include <gtest/gtest.h>

#include "platform/fake/MemoryKeychain.h"

namespace twig {
namespace {

constexpr const char* kService = "com.orvane.tessel.children";

struct MirroredKeychainTest : ::testing::Test {
  MemoryKeychain keyring;
  MemoryKeychain file;
  MirroredKeychain keychain{keyring, file};
};

TEST_F(MirroredKeychainTest, AWriteGoesToBothAndSucceedsWhenEitherTookIt) {
  ASSERT_TRUE(keychain.write(kService, "UUID", "one"));
  EXPECT_EQ(keyring.read(kService, "UUID"), "one");
  EXPECT_EQ(file.read(kService, "UUID"), "one");

  keyring.failWrites(true);  // a locked keyring
  EXPECT_TRUE(keychain.write(kService, "UUID", "two"));
  EXPECT_EQ(file.read(kService, "UUID"), "two");
  file.failWrites(true);
  EXPECT_FALSE(keychain.write(kService, "UUID", "three"));
}

TEST_F(MirroredKeychainTest, TheKeyringWinsAndRestoresALostFile) {
  keyring.write(kService, "UUID", "from-keyring");
  file.write(kService, "UUID", "stale");
  EXPECT_EQ(keychain.read(kService, "UUID"), "from-keyring");
  EXPECT_EQ(file.read(kService, "UUID"), "from-keyring");

  // The data folder deleted: the identifier comes back from the keyring and is kept again.
  file.remove(kService, "UUID");
  EXPECT_EQ(keychain.read(kService, "UUID"), "from-keyring");
  EXPECT_EQ(file.read(kService, "UUID"), "from-keyring");
}

TEST_F(MirroredKeychainTest, TheFileAnswersForALockedOrEmptyKeyringAndFillsIt) {
  file.write(kService, "UUID", "kept");
  keyring.failReads(true);
  keyring.failWrites(true);
  EXPECT_EQ(keychain.read(kService, "UUID"), "kept");

  // Unlocked later (or a keyring started for the first time): it gets the file's copy.
  keyring.failReads(false);
  keyring.failWrites(false);
  EXPECT_EQ(keychain.read(kService, "UUID"), "kept");
  EXPECT_EQ(keyring.read(kService, "UUID"), "kept");
  EXPECT_FALSE(keychain.read(kService, "other").has_value());
}

TEST_F(MirroredKeychainTest, ARemoveEmptiesBoth) {
  keychain.write(kService, "UUID", "x");
  EXPECT_TRUE(keychain.remove(kService, "UUID"));
  EXPECT_FALSE(keyring.read(kService, "UUID").has_value());
  EXPECT_FALSE(file.read(kService, "UUID").has_value());
  EXPECT_FALSE(keychain.remove(kService, "UUID"));
}

}  // namespace
}  // namespace twig
