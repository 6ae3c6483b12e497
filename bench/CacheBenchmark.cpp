#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/Benchmark.h"
#include "platform/AtomicFile.h"
#include "platform/SystemClock.h"
#include "storage/ObjectCache.h"

namespace twig::bench {

namespace {

std::filesystem::path freshFolder(const std::filesystem::path& base, const char* name) {
  const auto folder = base / name;
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder;
}

}  // namespace

// The object cache against the floor it is built on: a crash-safe write (temporary file, fsync,
// rename) and a plain file read of the same bytes.
int cacheBenchmark(long long writes, const std::filesystem::path& base) {
  SystemClock clock;
  const CacheObject value(Json::parse(R"({"billsNumber":1,"parentDN":"13800000000"})"));
  const std::string bytes = value.encode();
  constexpr int kKeys = 100;
  std::vector<std::string> keys;
  for (int i = 0; i < kKeys; ++i) keys.push_back("key" + std::to_string(i));

  ObjectCache cache({freshFolder(base, "OAKCache"), &clock, nullptr});
  Stopwatch writeWatch;
  for (long long i = 0; i < writes; ++i)
    cache.setObjectValue(value, keys[static_cast<std::size_t>(i % kKeys)]);
  const double writeSeconds = writeWatch.seconds();
  report("cache write (small value)", writes, writeSeconds);

  const auto floorFolder = freshFolder(base, "floor");
  Stopwatch floorWatch;
  for (long long i = 0; i < writes; ++i) {
    AtomicFile::write(floorFolder / keys[static_cast<std::size_t>(i % kKeys)], bytes);
  }
  const double floorSeconds = floorWatch.seconds();
  report("floor: temp + fsync + rename", writes, floorSeconds);
  std::printf("  write ratio (cache / floor): %.2f\n", writeSeconds / floorSeconds);

  const long long reads = writes * 50;
  cache.objectForKey(keys[0]);
  Stopwatch memoryWatch;
  for (long long i = 0; i < reads; ++i) cache.objectForKey(keys[0]);
  report("cache read, memory hit", reads, memoryWatch.seconds());

  // 100 keys round robin through a 10-key memory table: every read goes to the file.
  Stopwatch diskWatch;
  for (long long i = 0; i < reads; ++i) cache.objectForKey(keys[static_cast<std::size_t>(i % kKeys)]);
  const double diskSeconds = diskWatch.seconds();
  report("cache read, disk hit", reads, diskSeconds);

  Stopwatch readFloorWatch;
  std::size_t total = 0;
  for (long long i = 0; i < reads; ++i) {
    total += AtomicFile::read(floorFolder / keys[static_cast<std::size_t>(i % kKeys)])->size();
  }
  const double readFloorSeconds = readFloorWatch.seconds();
  report("floor: plain file read", reads, readFloorSeconds);
  std::printf("  disk-hit read ratio (cache / floor): %.2f\n", diskSeconds / readFloorSeconds);
  return total > 0 ? 0 : 1;
}

}  // namespace twig::bench
