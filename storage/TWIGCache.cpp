#include "storage/TWIGCache.h"

#include <mutex>

#include "platform/ImageDownloadCache.h"
#include "platform/Ports.h"
#include "storage/OAKCache.h"
#include "storage/OAKFMDBManage.h"

namespace twig {

namespace {

struct ResetTables {
  std::mutex mutex;
  std::vector<std::shared_ptr<const TWIGBaseModel>> records;
};

ResetTables& resetTables() {
  static ResetTables tables;
  return tables;
}

}  // namespace

bool TWIGCache::hasCacheForKey(const std::string& key) {
  if (key.empty()) return false;
  return OAKCache::sharedGlobalCache().hasCacheForKey(key);
}

std::optional<CacheObject> TWIGCache::objectForKey(const std::string& key) {
  if (key.empty()) return std::nullopt;
  return OAKCache::sharedGlobalCache().objectForKey(key);
}

bool TWIGCache::boolForKey(const std::string& key) {
  const auto object = objectForKey(key);
  return object && object->boolValue();
}

std::optional<std::string> TWIGCache::imageForkey(const std::string& key) {
  if (key.empty()) return std::nullopt;
  return OAKCache::sharedGlobalCache().imageObjectForKey(key);
}

void TWIGCache::setObjectValue(const std::optional<CacheObject>& value, const std::string& key) {
  if (!value || key.empty()) return;
  OAKCache::sharedGlobalCache().setObjectValue(*value, key);
}

void TWIGCache::setBool(bool value, const std::string& key) {
  if (key.empty()) return;
  OAKCache::sharedGlobalCache().setObjectValue(CacheObject(Json(value)), key);
}

void TWIGCache::setImage(std::string_view encodedImage, const std::string& key) {
  if (encodedImage.empty() || key.empty()) return;
  OAKCache::sharedGlobalCache().setImage(encodedImage, key);
}

void TWIGCache::removeObjectForKey(const std::string& key) {
  if (key.empty()) return;
  OAKCache::sharedGlobalCache().removeCacheForKey(key);
}

void TWIGCache::resetDefaults() {
  if (auto* pictures = Ports::current().imageCache) pictures->clearDisk();
  OAKCache::sharedGlobalCache().clearAllCache();
  std::vector<std::shared_ptr<const TWIGBaseModel>> records;
  {
    auto& tables = resetTables();
    std::lock_guard lock(tables.mutex);
    records = tables.records;
  }
  const OAKFMDBManage store;
  for (const auto& record : records) store.clearAllData(*record);
}

void TWIGCache::setTablesToEmptyOnReset(std::vector<std::shared_ptr<const TWIGBaseModel>> records) {
  auto& tables = resetTables();
  std::lock_guard lock(tables.mutex);
  tables.records = std::move(records);
}

}  // namespace twig
