#include "storage/TWIGCache.h"

#include "control/TWGIAppsModel.h"
#include "control/TWIGAppControlGroupModel.h"
#include "platform/ImageDownloadCache.h"
#include "platform/Ports.h"
#include "storage/OAKCache.h"
#include "storage/OAKFMDBManage.h"

namespace twig {

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
  const OAKFMDBManage store;
  store.clearAllData(TWIGAppControlGroupModel());
  store.clearAllData(TWGIAppsModel());
}

}  // namespace twig
