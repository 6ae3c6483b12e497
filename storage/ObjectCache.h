#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ApplicationEvents.h"
#include "platform/Clock.h"
#include "platform/NotificationCenter.h"
#include "platform/SerialQueue.h"
#include "storage/CacheObject.h"
#include "storage/ObjectCacheIndex.h"

namespace twig {

struct Ports;

// The process's key-value store for small persistent state: one file per key (named by the key)
// in the cache directory, an index of expiries beside them, and a memory table of the decoded
// values of the most recently used keys. Every change of the files runs on one serial queue, so
// changes apply in the order they were asked for; writes and clear-all wait for their step, removal
// does not (a read after it misses all the same). Reads run on the caller's thread: from the memory
// table, else from the key's file, which a write replaces whole. Callable from any thread.
//
// Keys that would escape or damage the directory (empty, ".", "..", containing "/" or a NUL byte,
// or the index's own name) are refused: writes do nothing and reads miss. Files are written
// crash-safely, and stored bytes that cannot be decoded read as a miss.
class ObjectCache {
 public:
  struct Dependencies {
    std::filesystem::path directory;  // the "OAKCache" folder itself
    Clock* clock = nullptr;
    NotificationCenter* notifications = nullptr;  // may be absent: then no memory-warning purge
  };

  static constexpr const char* kQueueLabel = "com.oakcache.info";

  explicit ObjectCache(Dependencies dependencies);
  ~ObjectCache();
  ObjectCache(const ObjectCache&) = delete;
  ObjectCache& operator=(const ObjectCache&) = delete;

  // The agent's cache: <caches>/<process name>/OAKCache, on the ports' clock, purged of its memory
  // table when the platform warns of low memory.
  static Dependencies inDataFolder(const Ports& ports);
  // Whether a key can name a file of the folder: not empty, ".", "..", the index, a path, or the
  // shape of a temporary file (".~…"); other keys are refused (writes do nothing, reads miss).
  static bool isUsableKey(std::string_view key);

  // Seconds; 0 means no expiry. Starts at 0.
  double defaultTimeoutInterval() const;
  void setDefaultTimeoutInterval(double seconds);
  // Number of keys the memory table holds. Starts at 10.
  std::int64_t defaultCacheMemoryLimit() const;
  void setDefaultCacheMemoryLimit(std::int64_t keys);

  void setObjectValue(const CacheObject& value, const std::string& key);
  void setObjectValue(const CacheObject& value, const std::string& key, double timeoutInterval);
  void setDataValue(std::string bytes, const std::string& key, double timeoutInterval);
  // Encoded picture bytes (PNG or JPEG); never expire unless an interval is given. Empty does nothing.
  void setImage(std::string_view encodedImage, const std::string& key);
  void setImage(std::string_view encodedImage, const std::string& key, double timeoutInterval);

  std::optional<CacheObject> objectForKey(const std::string& key);
  template <class T>
  std::optional<T> modelForKey(const std::string& key) {
    auto object = objectForKey(key);
    return object ? object->modelValue<T>() : std::nullopt;
  }
  // False when absent or not a boolean or number.
  bool boolForKey(const std::string& key);
  void setBool(bool value, const std::string& key);
  // An absent value does nothing (it is not a removal).
  void setObjectValue(const std::optional<CacheObject>& value, const std::string& key);
  // The picture bytes stored under `key`; nothing unless they are a PNG, JPEG or GIF.
  std::optional<std::string> imageObjectForKey(const std::string& key);
  // Whether the key's data file exists (asks the file system; a key being removed has none).
  bool hasCacheForKey(const std::string& key) const;
  // Queued without waiting; a later read of the key misses. The index keeps the key.
  void removeCacheForKey(const std::string& key);
  // Empties the folder (every file but the index, which is rewritten empty) and the memory table.
  void clearAllCache();
  // Drops the memory table, but for values their files could not take (a write that failed):
  // those stay, or a read would bring the older value of the file back.
  void clearMemoryCache();

  std::vector<std::string> allKeys();
  // Bytes of the data files of the indexed keys (missing files count 0; the index is not counted).
  double getAllCacheSize();
  double getSingleCacheSizeForKey(const std::string& key) const;

  // What the memory table holds, most recent first (for tests and diagnostics).
  std::vector<std::string> recentlyAccessedKeys();
  const std::filesystem::path& directory() const { return directory_; }

 private:
  // Writes the bytes and puts their value (nothing: bytes that do not decode) into memory.
  void store(const std::string& bytes, std::optional<CacheObject> value, const std::string& key,
             double timeoutInterval);
  // A step of the queue that is about to change the files of `key` (nothing: of every key) takes
  // it out of memory and keeps reads from putting anything back until the step ends.
  void beginChange(const std::optional<std::string>& key);
  // The caller holds memoryMutex_: the step's change is over, reads may fill memory again.
  void endChangeLocked();
  // The caller holds memoryMutex_.
  void eraseFromMemoryLocked(const std::string& key);
  // The caller holds memoryMutex_. Keys with a removal on its way stay out.
  void insertIntoMemoryLocked(const std::string& key, std::optional<CacheObject> value);
  void touchLocked(const std::string& key);
  void removeStrayTemporaryFiles();
  bool beingRemoved(const std::string& key) const;

  std::filesystem::path directory_;
  Clock& clock_;
  std::atomic<double> defaultTimeoutInterval_{0};
  std::atomic<std::int64_t> defaultCacheMemoryLimit_{10};
  std::map<std::string, ObjectCacheIndex::Expiry> diskCachePlist_;  // on the queue
  mutable std::mutex memoryMutex_;
  std::vector<std::string> recentlyAccessedKeys_;
  // Decoded once, when stored or first read; a read returns a copy.
  std::map<std::string, std::optional<CacheObject>> memoryCacheInfo_;
  // Keys whose removal is queued and not done yet, with how many.
  std::map<std::string, int> removing_;
  // Counts every change of the table and the files: a file read on a caller's thread enters the
  // table only when nothing changed while it ran.
  std::uint64_t generation_ = 0;
  bool changing_ = false;  // a write or clear-all step is changing the files
  // Keys whose value in memory is newer than their file (its write failed): never evicted.
  std::set<std::string> unstored_;
  // Declared after the state its steps touch, so that it stops (finishing queued steps) first.
  SerialQueue cacheInfoQueue_;
  ObserverToken memoryWarning_;
};

}  // namespace twig
