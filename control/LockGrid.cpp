#include "control/LockGrid.h"

#include "api/Utils.h"
#include "control/LockedApp.h"
#include "platform/DeploymentSettings.h"
#include "platform/Ports.h"
#include "platform/SpeechSynthesizer.h"

namespace twig {

namespace {

bool isToday(const Json& entry) {
  const auto it = entry.find("today");
  if (it == entry.end()) return false;
  if (it->is_boolean()) return it->get<bool>();
  return it->is_number() && it->get<double>() != 0;
}

// Entries and their applications that are not dictionaries or lists are skipped, not trusted.
template <class Visit>
void forEachApp(const Json& entries, Visit visit) {
  if (!entries.is_array()) return;
  for (const auto& entry : entries) {
    if (!entry.is_object()) continue;
    const auto apps = entry.find("apps");
    if (apps == entry.end() || !apps->is_array()) continue;
    for (const auto& app : *apps) {
      if (app.is_object()) visit(app);
    }
  }
}

}  // namespace

void LockGrid::updateAppsArray(const Json& entries) {
  mArrayData_ = entries.is_array() ? entries : Json::array();
  if (warningNum_ == kMaxWarnings) return;
  // A list without applications names nothing to close: no warning, and none used up.
  bool any = false;
  forEachApp(mArrayData_, [&any](const Json&) { any = true; });
  if (!any) return;
  ++warningNum_;
  speech_.speak(warningText(mArrayData_), kVoiceLanguage, kSpeechRate);
}

Json LockGrid::sections() const {
  Json sections = Json::array();
  for (const auto& entry : mArrayData_) {
    if (!entry.is_object()) continue;
    Json cells = Json::array();
    forEachApp(Json::array({entry}), [this, &cells](const Json& app) {
      const auto model = Model::fetchModelOfClass<LockedApp>(app);
      Json cell = Json::object();
      cell["appName"] = model->appName.value_or("");
      cell["appPackage"] = model->appPackage.value_or("");
      cell["processName"] = model->processName.value_or("");
      cell["iconUrl"] = Utils::webAddress(iconUrl(model->appPackage.value_or("")));
      cell["placeholder"] = kIconPlaceholder;
      cells.push_back(std::move(cell));
    });
    Json section = Json::object();
    section["header"] = headerText(entry);
    section["apps"] = std::move(cells);
    sections.push_back(std::move(section));
  }
  return sections;
}

std::string LockGrid::headerText(const Json& entry) {
  const std::string category = Utils::stringValue(entry, "groupName") == "游戏" ? "游戏" : "社交应用";
  if (isToday(entry)) {
    const std::string window =
        Utils::stringValue(entry, "startTime") + "-" + Utils::stringValue(entry, "endTime");
    return "以下" + category + "现在不可玩，可玩时段" + window + "，请双击HOME键后划走~";
  }
  return "以下" + category + "今天不可玩，请双击HOME键后划走~";
}

std::string LockGrid::warningText(const Json& entries) {
  std::string names;
  int count = 0;
  forEachApp(entries, [&](const Json& app) {
    if (count++ > 0) names += ",";
    names += Utils::stringValue(app, "appName");
  });
  if (count <= 3) return "管控时间：请将" + names + "关闭~";
  return "管控时间：请将以下应用关闭~";
}

std::string LockGrid::iconUrl(const std::string& appPackage) const {
  return serviceOrigin_ + "/images/apps/ios/" + appPackage + "/icon.png";
}

double LockGrid::sideForScreen(double heightPoints, bool tablet) {
  if (tablet) return 500;
  if (heightPoints == 480) return 210;
  if (heightPoints == 568) return 320;
  return 360;
}

}  // namespace twig
