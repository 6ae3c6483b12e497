#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>

#include "platform/AtomicFile.h"
#include "platform/fake/ManualClock.h"
#include "storage/ObjectCache.h"
#include "storage/ObjectCacheIndex.h"
#include "storage/StoredNames.h"
#include "tests/fakes/TempDir.h"

namespace twig {
namespace {

constexpr int kKeys = 4;

// Values large enough that a write takes a while, and self-checking: the round number is repeated
// through the whole value, so any torn or mixed write shows.
std::string valueFor(int key, long long round) {
  const std::string stamp = std::to_string(key) + ":" + std::to_string(round) + ";";
  std::string value;
  while (value.size() < 16 * 1024) value += stamp;
  return value;
}

bool isWholeValue(const std::string& value, int key) {
  const auto colon = value.find(':');
  const auto semicolon = value.find(';');
  if (colon == std::string::npos || semicolon == std::string::npos) return false;
  if (value.substr(0, colon) != std::to_string(key)) return false;
  return value == valueFor(key, std::stoll(value.substr(colon + 1, semicolon - colon - 1)));
}

// Writes rounds of all keys for ever; tells `ready` once the first round is complete.
[[noreturn]] void writeForever(const std::filesystem::path& directory, int ready) {
  ManualClock clock;
  ObjectCache cache({directory, &clock, nullptr});
  for (long long round = 0;; ++round) {
    for (int key = 0; key < kKeys; ++key) {
      cache.setObjectValue(CacheObject(Json(valueFor(key, round))), "key" + std::to_string(key));
    }
    if (round == 0) {
      const char byte = 1;
      [[maybe_unused]] const auto written = ::write(ready, &byte, 1);
    }
  }
}

TEST(ObjectCacheCrash, AWriterKilledAtRandomMomentsLeavesWholeValuesAndAReadableIndex) {
  test::TempDir dir;
  const auto directory = dir / "OAKCache";
  std::mt19937 random(12345);
  std::uniform_int_distribution<int> pause(1, 40);
  int sawValues = 0;
  for (int attempt = 0; attempt < 40; ++attempt) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    // This process has no other thread when it forks: the check below joins its cache's queue.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) writeForever(directory, ready[1]);
    ::close(ready[1]);
    // Killed at a random moment of steady writing, however slowly the machine runs.
    pollfd wait{ready[0], POLLIN, 0};
    ASSERT_EQ(::poll(&wait, 1, 30000), 1) << "the writer did not get going";
    ::close(ready[0]);
    ::usleep(static_cast<useconds_t>(pause(random) * 1000));
    ASSERT_EQ(::kill(child, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));

    const auto index = AtomicFile::read(directory / stored::kCacheIndexFile);
    if (index) {
      EXPECT_TRUE(ObjectCacheIndex::fromXml(*index).has_value())
          << "attempt " << attempt << ": index does not parse";
    }
    ManualClock clock;
    ObjectCache cache({directory, &clock, nullptr});
    for (int key = 0; key < kKeys; ++key) {
      const std::string name = "key" + std::to_string(key);
      if (!cache.hasCacheForKey(name)) continue;  // not written yet in the very first round
      const auto object = cache.objectForKey(name);
      ASSERT_TRUE(object.has_value()) << "attempt " << attempt << ": " << name << " does not decode";
      ASSERT_TRUE(object->stringValue().has_value());
      EXPECT_TRUE(isWholeValue(*object->stringValue(), key))
          << "attempt " << attempt << ": " << name << " is torn";
      ++sawValues;
    }
  }
  EXPECT_EQ(sawValues, 40 * kKeys);
}

}  // namespace
}  // namespace twig
