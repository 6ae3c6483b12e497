#include "storage/ObjectCacheIndex.h"

#include <plist/plist.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "platform/AtomicFile.h"

namespace twig {

namespace {

// Property-list dates count seconds from 2001-01-01 00:00 UTC.
constexpr std::int64_t kPlistEpoch = 978307200;

struct PlistDeleter {
  void operator()(plist_t node) const { plist_free(node); }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

struct XmlDeleter {
  void operator()(char* text) const { plist_to_xml_free(text); }
};

}  // namespace

std::optional<std::map<std::string, ObjectCacheIndex::Expiry>> ObjectCacheIndex::fromXml(
    std::string_view xml) {
  if (xml.empty() || xml.size() > UINT32_MAX) return std::nullopt;
  plist_t parsed = nullptr;
  plist_from_xml(xml.data(), static_cast<uint32_t>(xml.size()), &parsed);
  PlistPtr root(parsed);
  if (!root || plist_get_node_type(root.get()) != PLIST_DICT) return std::nullopt;

  std::map<std::string, Expiry> entries;
  plist_dict_iter iterator = nullptr;
  plist_dict_new_iter(root.get(), &iterator);
  for (;;) {
    char* key = nullptr;
    plist_t value = nullptr;
    plist_dict_next_item(root.get(), iterator, &key, &value);
    if (key == nullptr) break;
    std::string name(key);
    std::free(key);
    if (value == nullptr) continue;
    switch (plist_get_node_type(value)) {
      case PLIST_DATE: {
        int32_t seconds = 0;
        int32_t micros = 0;
        plist_get_date_val(value, &seconds, &micros);
        entries[name] =
            WallTime(std::chrono::seconds(kPlistEpoch + seconds)) + std::chrono::microseconds(micros);
        break;
      }
      case PLIST_UINT:
        entries[name] = std::nullopt;
        break;
      default:
        break;  // not an expiry: the entry is dropped
    }
  }
  std::free(iterator);
  return entries;
}

std::map<std::string, ObjectCacheIndex::Expiry> ObjectCacheIndex::load(const std::filesystem::path& file) {
  const auto text = AtomicFile::read(file);
  if (!text) return {};
  auto entries = fromXml(*text);
  return entries ? std::move(*entries) : std::map<std::string, Expiry>{};
}

std::string ObjectCacheIndex::toXml(const std::map<std::string, Expiry>& entries) {
  PlistPtr root(plist_new_dict());
  for (const auto& [key, expiry] : entries) {
    if (expiry) {
      const auto micros =
          std::chrono::duration_cast<std::chrono::microseconds>(expiry->time_since_epoch()).count() -
          kPlistEpoch * 1000000;
      auto seconds = micros >= 0 ? micros / 1000000 : -((-micros + 999999) / 1000000);
      auto fraction = micros - seconds * 1000000;
      // The file format holds 32-bit seconds (until 2069); later expiries are kept at its end.
      if (seconds > INT32_MAX || seconds < INT32_MIN) {
        seconds = seconds > 0 ? INT32_MAX : INT32_MIN;
        fraction = 0;
      }
      plist_dict_set_item(root.get(), key.c_str(),
                          plist_new_date(static_cast<int32_t>(seconds), static_cast<int32_t>(fraction)));
    } else {
      plist_dict_set_item(root.get(), key.c_str(), plist_new_uint(0));
    }
  }
  char* xml = nullptr;
  uint32_t length = 0;
  plist_to_xml(root.get(), &xml, &length);
  std::unique_ptr<char, XmlDeleter> owned(xml);
  return xml == nullptr ? std::string() : std::string(xml, length);
}

bool ObjectCacheIndex::save(const std::filesystem::path& file, const std::map<std::string, Expiry>& entries) {
  return AtomicFile::write(file, toXml(entries));
}

}  // namespace twig
