#include "storage/Cache.h"

#include <mutex>

#include "platform/ImageDownloadCache.h"
#include "platform/Ports.h"
#include "storage/ObjectCache.h"
#include "storage/TableStore.h"

namespace twig {

namespace {

struct ResetTables {
  std::mutex mutex;
  std::vector<std::shared_ptr<const Model>> records;
};

ResetTables& resetTables() {
  static ResetTables tables;
  return tables;
}

}  // namespace

bool Cache::hasCacheForKey(const std::string& key) {
  if (key.empty()) return false;
  return ObjectCache::sharedGlobalCache().hasCacheForKey(key);
}

std::optional<CacheObject> Cache::objectForKey(const std::string& key) {
  if (key.empty()) return std::nullopt;
  return ObjectCache::sharedGlobalCache().objectForKey(key);
}

bool Cache::boolForKey(const std::string& key) {
  const auto object = objectForKey(key);
  return object && object->boolValue();
}

std::optional<std::string> Cache::imageForkey(const std::string& key) {
  if (key.empty()) return std::nullopt;
  return ObjectCache::sharedGlobalCache().imageObjectForKey(key);
}

void Cache::setObjectValue(const std::optional<CacheObject>& value, const std::string& key) {
  if (!value || key.empty()) return;
  ObjectCache::sharedGlobalCache().setObjectValue(*value, key);
}

void Cache::setBool(bool value, const std::string& key) {
  if (key.empty()) return;
  ObjectCache::sharedGlobalCache().setObjectValue(CacheObject(Json(value)), key);
}

void Cache::setImage(std::string_view encodedImage, const std::string& key) {
  if (encodedImage.empty() || key.empty()) return;
  ObjectCache::sharedGlobalCache().setImage(encodedImage, key);
}

void Cache::removeObjectForKey(const std::string& key) {
  if (key.empty()) return;
  ObjectCache::sharedGlobalCache().removeCacheForKey(key);
}

void Cache::resetDefaults() {
  if (auto* pictures = Ports::current().imageCache) pictures->clearDisk();
  ObjectCache::sharedGlobalCache().clearAllCache();
  std::vector<std::shared_ptr<const Model>> records;
  {
    auto& tables = resetTables();
    std::lock_guard lock(tables.mutex);
    records = tables.records;
  }
  const TableStore store;
  for (const auto& record : records) store.clearAllData(*record);
}

void Cache::setTablesToEmptyOnReset(std::vector<std::shared_ptr<const Model>> records) {
  auto& tables = resetTables();
  std::lock_guard lock(tables.mutex);
  tables.records = std::move(records);
}

}  // namespace twig
