#pragma once

#include <cstdint>
#include <string>

#include "platform/Json.h"

namespace twig {

class SpeechSynthesizer;

// The lock screen's grid: one section per blacklist entry, headed by an instruction to close its
// applications, one cell per application; and the spoken warning that names them, at most three
// times in the life of one grid. Main loop only.
//
// Geometry for the drawing side: a square of `side` points, three cells to a row, each a square
// of (side − 50) / 3 with a section inset of 10, headers 60 high and as wide as the grid.
class LockGrid {
 public:
  static constexpr int kMaxWarnings = 3;
  static constexpr const char* kVoiceLanguage = "zh_CN";
  static constexpr double kSpeechRate = 0.1;
  static constexpr const char* kIconPlaceholder = "qz_moren";
  static constexpr double kSectionInset = 10;
  static constexpr double kHeaderHeight = 60;

  LockGrid(double side, SpeechSynthesizer& speech, std::string serviceOrigin)
      : speech_(speech), serviceOrigin_(std::move(serviceOrigin)), side_(side) {}

  // Keeps the entries for the grid and speaks a warning, unless three have been spoken or there is
  // no application to name.
  void updateAppsArray(const Json& entries);
  const Json& mArrayData() const { return mArrayData_; }
  std::int64_t warningNum() const { return warningNum_; }

  // The grid as it should be drawn: [{"header": text, "apps": [{"appName", "appPackage",
  // "processName", "iconUrl", "placeholder"}]}], one section per entry.
  Json sections() const;
  double side() const { return side_; }
  double cellSide() const { return (side_ - 50) / 3; }

  static std::string headerText(const Json& entry);
  // "管控时间：请将A,B关闭~" for up to three applications, the generic text beyond.
  static std::string warningText(const Json& entries);
  std::string iconUrl(const std::string& appPackage) const;
  // The grid's side for a screen: 210 on a 480-point phone, 320 on a 568-point one, 360 on other
  // phones, 500 on a tablet.
  static double sideForScreen(double heightPoints, bool tablet);

 private:
  SpeechSynthesizer& speech_;
  std::string serviceOrigin_;
  double side_;
  Json mArrayData_ = Json::array();
  std::int64_t warningNum_ = 0;
};

}  // namespace twig
