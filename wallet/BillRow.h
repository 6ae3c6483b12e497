#pragma once

#include <string>

#include "platform/Json.h"
#include "wallet/Bill.h"

namespace twig {

class Clock;

// What a bill's row shows, as state for the drawing side: {"billId", "subjectName", "iconUrl",
// "points" ("5刺猬币"; "0刺猬币" when refused), "description", "date" ("今天 08:05", "昨天 …",
// "16-05-03"), "stamp" (image name), "picture" (null, or {"url", "placeholder", "count"}),
// "comment" (null, or {"text", "icon", "bubble"} for the first comment), "height"}.
class BillRow {
 public:
  static constexpr const char* kPicturePlaceholder = "cwqb_ciweijia";

  static Json setModel(const Bill& bill, double screenWidth, double screenHeight, const Clock& clock);
  static std::string pointsText(const Bill& bill);
  static std::string dateText(const Json& createTime, const Clock& clock);
  static std::string stampImage(std::int64_t status);
  // 60, plus the comments' height, plus the first picture's height up to half the screen.
  static double rowHeight(const Bill& bill, double screenWidth, double screenHeight);
  // The comments' part of a row: for each comment with text, its height at 14 points within the
  // width less 80, plus 60, whole, plus 10; and 10 more when any counted.
  static double calculateRowHeight(const std::vector<BillComment>& comments, double screenWidth);
  // An estimate of a text's height at 14 points: a full-width character is 14 points wide, any
  // other 7, lines 17 points high. The drawing side lays the text out for real.
  static double textHeight(const std::string& text, double width);
};

}  // namespace twig
