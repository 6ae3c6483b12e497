#include "platform/linux/FileUserDefaults.h"

#include <system_error>

#include "platform/AtomicFile.h"
#include "platform/BoundedJson.h"

namespace twig {

FileUserDefaults::FileUserDefaults(std::filesystem::path file)
    : file_(std::move(file)), values_(Json::object()) {
  if (auto text = AtomicFile::read(file_)) {
    auto parsed = BoundedJson::parseOrDiscard(*text, BoundedJson::kMaxStoredDepth);
    // A damaged file must not stop the agent; it starts from empty settings instead.
    if (parsed.is_object()) values_ = std::move(parsed);
  }
}

std::optional<Json> FileUserDefaults::objectForKey(const std::string& key) {
  std::lock_guard lock(mutex_);
  auto it = values_.find(key);
  if (it == values_.end()) return std::nullopt;
  return *it;
}

void FileUserDefaults::setObject(const std::string& key, const Json& value) {
  std::lock_guard lock(mutex_);
  values_[key] = value;
  save();
}

void FileUserDefaults::removeObject(const std::string& key) {
  std::lock_guard lock(mutex_);
  if (values_.erase(key) > 0) save();
}

void FileUserDefaults::save() {
  std::error_code ignored;
  std::filesystem::create_directories(file_.parent_path(), ignored);
  AtomicFile::write(file_, values_.dump(2, ' ', false, Json::error_handler_t::replace));
}

}  // namespace twig
