#pragma once

#include <string>

#include "platform/Json.h"
#include "wallet/Bill.h"

namespace twig {

class Clock;

// What a bill's row shows, as state for the drawing side: {"billId", "subjectName", "iconUrl",
// "points" ("5刺猬币"; "0刺猬币" when refused), "description", "date" ("今天 08:05", "昨天 …",
// "16-05-03"), "stamp" (image name), "picture" (null, or {"url", "placeholder", "count"}),
// "comment" (null, or {"text", "icon"} for the first comment)}.
class BillRow {
 public:
  static constexpr const char* kPicturePlaceholder = "cwqb_ciweijia";

  static Json rowState(const Bill& bill, const Clock& clock);
  static std::string pointsText(const Bill& bill);
  static std::string dateText(const Json& createTime, const Clock& clock);
  static std::string stampImage(std::int64_t status);
};

}  // namespace twig
