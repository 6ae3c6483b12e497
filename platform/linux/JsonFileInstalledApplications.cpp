#include "platform/linux/JsonFileInstalledApplications.h"

#include "platform/AtomicFile.h"
#include "platform/BoundedJson.h"

namespace twig {

std::optional<Json> JsonFileInstalledApplications::fetch() {
  const auto text = AtomicFile::read(file_);
  if (!text) return std::nullopt;
  const Json parsed = BoundedJson::parseOrDiscard(*text);
  if (!parsed.is_array()) return std::nullopt;
  Json records = Json::array();
  for (const auto& record : parsed) {
    const bool complete = record.is_object() && record.contains("bundleId") &&
                          record["bundleId"].is_string() && record.contains("bundleExecutable") &&
                          record["bundleExecutable"].is_string() && record.contains("displayName") &&
                          record["displayName"].is_string();
    if (complete) {
      records.push_back(Json{{"bundleId", record["bundleId"]},
                             {"bundleExecutable", record["bundleExecutable"]},
                             {"displayName", record["displayName"]}});
    }
  }
  return records;
}

}  // namespace twig
