#include "storage/ObjectCache.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <system_error>

#include "platform/ApplicationEvents.h"
#include "platform/AtomicFile.h"
#include "platform/DeviceFacts.h"
#include "platform/Directories.h"
#include "platform/Ports.h"
#include "storage/StoredNames.h"

namespace twig {

namespace {

bool looksLikePicture(std::string_view bytes) {
  static constexpr std::string_view kPng = "\x89PNG\r\n\x1a\n";
  static constexpr std::string_view kJpeg = "\xFF\xD8\xFF";
  return bytes.substr(0, kPng.size()) == kPng || bytes.substr(0, kJpeg.size()) == kJpeg ||
         bytes.substr(0, 4) == "GIF8";
}

double fileSize(const std::filesystem::path& path) {
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  return error ? 0.0 : static_cast<double>(size);
}

}  // namespace

ObjectCache::ObjectCache(Dependencies dependencies)
    : directory_(std::move(dependencies.directory)),
      clock_(*dependencies.clock),
      cacheInfoQueue_(kQueueLabel) {
  if (dependencies.notifications != nullptr) {
    memoryWarning_ = dependencies.notifications->addObserver(
        ApplicationEvents::kDidReceiveMemoryWarning, [this](const Notification&) { clearMemoryCache(); });
  }
  cacheInfoQueue_.sync([this] {
    diskCachePlist_ = ObjectCacheIndex::load(directory_ / stored::kCacheIndexFile);
    std::error_code error;
    if (std::filesystem::is_directory(directory_, error)) {
      // Expiry is enforced here only, once per start. The index file itself is rewritten by the
      // next write or clear-all.
      const WallTime now = clock_.now();
      std::vector<std::string> expired;
      for (const auto& [key, expiry] : diskCachePlist_) {
        if (expiry && *expiry <= now) {
          if (isUsableKey(key)) std::filesystem::remove(directory_ / key, error);
          expired.push_back(key);
        }
      }
      for (const auto& key : expired) diskCachePlist_.erase(key);
      removeStrayTemporaryFiles();
    } else {
      std::filesystem::create_directories(directory_, error);
    }
  });
}

ObjectCache::~ObjectCache() = default;

ObjectCache::Dependencies ObjectCache::inDataFolder(const Ports& ports) {
  Dependencies dependencies;
  dependencies.directory = ports.directories.caches() / ports.device.processName() / stored::kCacheFolder;
  dependencies.clock = &ports.clock;
  dependencies.notifications = &ports.notifications;
  return dependencies;
}

bool ObjectCache::boolForKey(const std::string& key) {
  const auto object = objectForKey(key);
  return object && object->boolValue();
}

void ObjectCache::setBool(bool value, const std::string& key) {
  setObjectValue(CacheObject(Json(value)), key);
}

void ObjectCache::setObjectValue(const std::optional<CacheObject>& value, const std::string& key) {
  if (value) setObjectValue(*value, key);
}

bool ObjectCache::isUsableKey(std::string_view key) {
  // ".~" starts the names of the crash-safe writes' temporary files, which the start-up sweep
  // deletes: a key of that shape would be lost at the next start.
  return !key.empty() && key != "." && key != ".." && key != stored::kCacheIndexFile &&
         key.find('/') == std::string_view::npos && key.find('\0') == std::string_view::npos &&
         key.rfind(".~", 0) != 0;
}

void ObjectCache::removeStrayTemporaryFiles() {
  // A process killed in the middle of a crash-safe write leaves its temporary file behind.
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(directory_, error)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind(".~", 0) == 0 && name.size() > 4 && name.compare(name.size() - 4, 4, ".tmp") == 0) {
      std::error_code ignored;
      std::filesystem::remove(entry.path(), ignored);
    }
  }
}

double ObjectCache::defaultTimeoutInterval() const {
  return defaultTimeoutInterval_.load();
}
void ObjectCache::setDefaultTimeoutInterval(double seconds) {
  defaultTimeoutInterval_ = seconds;
}
std::int64_t ObjectCache::defaultCacheMemoryLimit() const {
  return defaultCacheMemoryLimit_.load();
}
void ObjectCache::setDefaultCacheMemoryLimit(std::int64_t keys) {
  defaultCacheMemoryLimit_ = keys;
}

void ObjectCache::setObjectValue(const CacheObject& value, const std::string& key) {
  setObjectValue(value, key, defaultTimeoutInterval());
}

void ObjectCache::setObjectValue(const CacheObject& value, const std::string& key, double timeoutInterval) {
  if (!isUsableKey(key)) return;
  store(value.encode(), value, key, timeoutInterval);
}

void ObjectCache::setDataValue(std::string bytes, const std::string& key, double timeoutInterval) {
  if (!isUsableKey(key)) return;
  auto value = CacheObject::decode(bytes);
  store(bytes, std::move(value), key, timeoutInterval);
}

void ObjectCache::store(const std::string& bytes, std::optional<CacheObject> value, const std::string& key,
                        double timeoutInterval) {
  cacheInfoQueue_.sync([&] {
    ObjectCacheIndex::Expiry expiry;
    if (timeoutInterval > 0) {
      expiry = clock_.now() +
               std::chrono::duration_cast<WallTime::duration>(std::chrono::duration<double>(timeoutInterval));
    }
    beginChange(key);
    const auto indexed = diskCachePlist_.find(key);
    const bool indexChanges = indexed == diskCachePlist_.end() || indexed->second != expiry;
    // The folder is flushed once per write: by the index's write when the index changes, else by
    // the data file's.
    const bool written = AtomicFile::write(directory_ / key, bytes, 0644, /*flushFolder=*/!indexChanges);
    if (indexChanges) {
      diskCachePlist_[key] = expiry;
      ObjectCacheIndex::save(directory_ / stored::kCacheIndexFile, diskCachePlist_);
    }
    std::lock_guard lock(memoryMutex_);
    endChangeLocked();
    // A value that could not be written (a full disk) stays readable in this process: kept in
    // memory, never evicted, until a later write, removal or clear-all of its key.
    if (written) {
      unstored_.erase(key);
    } else {
      unstored_.insert(key);
    }
    insertIntoMemoryLocked(key, std::move(value));
  });
}

void ObjectCache::beginChange(const std::optional<std::string>& key) {
  // The memory table must never hold a value that the file no longer has: once the file is
  // replaced, a read that misses memory returns the new value from the file, and a later read
  // that hit an old entry would go back in time. So the entry leaves memory before the file
  // changes, and nothing enters memory until the change is over.
  std::lock_guard lock(memoryMutex_);
  ++generation_;
  changing_ = true;
  if (key) {
    // A value the file never got is newer than the file: it stays until the new one replaces it.
    if (unstored_.count(*key) == 0) eraseFromMemoryLocked(*key);
  } else {
    memoryCacheInfo_.clear();
    recentlyAccessedKeys_.clear();
    unstored_.clear();
  }
}

void ObjectCache::endChangeLocked() {
  ++generation_;
  changing_ = false;
}

void ObjectCache::eraseFromMemoryLocked(const std::string& key) {
  unstored_.erase(key);
  if (memoryCacheInfo_.erase(key) > 0) {
    recentlyAccessedKeys_.erase(std::remove(recentlyAccessedKeys_.begin(), recentlyAccessedKeys_.end(), key),
                                recentlyAccessedKeys_.end());
  }
}

void ObjectCache::setImage(std::string_view encodedImage, const std::string& key) {
  setImage(encodedImage, key, 0);
}

void ObjectCache::setImage(std::string_view encodedImage, const std::string& key, double timeoutInterval) {
  if (encodedImage.empty()) return;
  setObjectValue(CacheObject::data(encodedImage), key, timeoutInterval);
}

void ObjectCache::insertIntoMemoryLocked(const std::string& key, std::optional<CacheObject> value) {
  if (removing_.count(key) > 0) return;
  memoryCacheInfo_[key] = std::move(value);
  touchLocked(key);
  // The least recently used key goes; values the file does not hold are never the ones to go.
  for (auto it = recentlyAccessedKeys_.end();
       static_cast<std::int64_t>(recentlyAccessedKeys_.size()) > defaultCacheMemoryLimit() &&
       it != recentlyAccessedKeys_.begin();) {
    --it;
    if (unstored_.count(*it) > 0) continue;
    memoryCacheInfo_.erase(*it);
    it = recentlyAccessedKeys_.erase(it);
  }
}

void ObjectCache::touchLocked(const std::string& key) {
  if (!recentlyAccessedKeys_.empty() && recentlyAccessedKeys_.front() == key) return;
  const auto found = std::find(recentlyAccessedKeys_.begin(), recentlyAccessedKeys_.end(), key);
  if (found == recentlyAccessedKeys_.end()) {
    recentlyAccessedKeys_.insert(recentlyAccessedKeys_.begin(), key);
  } else {
    std::rotate(recentlyAccessedKeys_.begin(), found, found + 1);
  }
}

std::optional<CacheObject> ObjectCache::objectForKey(const std::string& key) {
  // Why a read never goes back in time, whatever the interleaving: the memory table holds a key
  // only while its value is the one in the key's file, or a newer one that the file could not
  // take (a failed write; such a key is never evicted, so no read of it reaches the file). A write
  // takes the key out of memory before it replaces the file and puts the new value in after
  // (beginChange, store); removal and clear-all take keys out before their files go. A read that
  // misses memory reads the file, which a write replaces whole (rename), so it sees one version,
  // the file's at the moment of opening;
  // it puts that value into memory only when no change of the files began or ended while it read
  // (the generation did not move and no change was under way when it looked), so the value it
  // adds is still the file's. A hit therefore returns the file's value at the moment of the
  // lookup, a miss the file's value at the moment of its open, and the file only moves forward,
  // in the order of the queue's steps.
  if (!isUsableKey(key)) return std::nullopt;
  std::uint64_t seen = 0;
  bool mayEnter = false;
  {
    std::lock_guard lock(memoryMutex_);
    if (auto it = memoryCacheInfo_.find(key); it != memoryCacheInfo_.end()) {
      touchLocked(key);
      // A copy: changing what a read returned never changes the cache.
      return it->second;
    }
    if (removing_.count(key) > 0) return std::nullopt;
    seen = generation_;
    mayEnter = !changing_;
  }
  const auto bytes = AtomicFile::read(directory_ / key);
  if (!bytes) return std::nullopt;
  auto value = CacheObject::decode(*bytes);
  std::lock_guard lock(memoryMutex_);
  if (mayEnter && generation_ == seen) insertIntoMemoryLocked(key, value);
  return value;
}

std::optional<std::string> ObjectCache::imageObjectForKey(const std::string& key) {
  const auto object = objectForKey(key);
  if (!object) return std::nullopt;
  auto bytes = object->dataValue();
  if (!bytes || !looksLikePicture(*bytes)) return std::nullopt;
  return bytes;
}

bool ObjectCache::beingRemoved(const std::string& key) const {
  std::lock_guard lock(memoryMutex_);
  return removing_.count(key) > 0;
}

bool ObjectCache::hasCacheForKey(const std::string& key) const {
  if (!isUsableKey(key) || beingRemoved(key)) return false;
  std::error_code error;
  return std::filesystem::is_regular_file(directory_ / key, error);
}

void ObjectCache::removeCacheForKey(const std::string& key) {
  if (!isUsableKey(key)) return;
  {
    // Out of memory now, and kept out until the file is gone: reads from here on miss.
    std::lock_guard lock(memoryMutex_);
    ++generation_;
    ++removing_[key];
    eraseFromMemoryLocked(key);
  }
  cacheInfoQueue_.async([this, key] {
    std::error_code ignored;
    std::filesystem::remove(directory_ / key, ignored);
    std::lock_guard lock(memoryMutex_);
    ++generation_;
    if (--removing_[key] == 0) removing_.erase(key);
  });
}

void ObjectCache::clearAllCache() {
  cacheInfoQueue_.sync([this] {
    beginChange(std::nullopt);
    // Every file but the index goes, named in the index or not: a process killed between the two
    // renames of a key's first write leaves a data file the index does not name, and an unbinding
    // must not leave "binding" behind.
    std::error_code error;
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(directory_, error)) {
      if (entry.path().filename() != stored::kCacheIndexFile) files.push_back(entry.path());
    }
    for (const auto& file : files) {
      std::error_code ignored;
      std::filesystem::remove(file, ignored);
    }
    diskCachePlist_.clear();
    ObjectCacheIndex::save(directory_ / stored::kCacheIndexFile, diskCachePlist_);
    std::lock_guard lock(memoryMutex_);
    endChangeLocked();
  });
}

void ObjectCache::clearMemoryCache() {
  std::lock_guard lock(memoryMutex_);
  ++generation_;
  // Values the file does not hold stay: dropping them would bring an older value back.
  for (auto it = memoryCacheInfo_.begin(); it != memoryCacheInfo_.end();) {
    it = unstored_.count(it->first) > 0 ? std::next(it) : memoryCacheInfo_.erase(it);
  }
  recentlyAccessedKeys_.erase(
      std::remove_if(recentlyAccessedKeys_.begin(), recentlyAccessedKeys_.end(),
                     [this](const std::string& key) { return unstored_.count(key) == 0; }),
      recentlyAccessedKeys_.end());
}

std::vector<std::string> ObjectCache::allKeys() {
  std::vector<std::string> keys;
  cacheInfoQueue_.sync([&] {
    for (const auto& [key, expiry] : diskCachePlist_) keys.push_back(key);
  });
  return keys;
}

double ObjectCache::getAllCacheSize() {
  double total = 0;
  for (const auto& key : allKeys()) total += getSingleCacheSizeForKey(key);
  return total;
}

double ObjectCache::getSingleCacheSizeForKey(const std::string& key) const {
  if (!isUsableKey(key) || beingRemoved(key)) return 0;
  return fileSize(directory_ / key);
}

std::vector<std::string> ObjectCache::recentlyAccessedKeys() {
  std::lock_guard lock(memoryMutex_);
  return recentlyAccessedKeys_;
}

}  // namespace twig
