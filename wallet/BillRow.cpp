#include "wallet/BillRow.h"

#include "api/Utils.h"
#include "wallet/PointsTotal.h"

namespace twig {

std::string BillRow::pointsText(const Bill& bill) {
  if (bill.statusValue() == 2) return "0刺猬币";
  const Json points = bill.bonuspoint.value_or(Json(0));
  return PointsTotal::pointsText(points) + "刺猬币";
}

std::string BillRow::dateText(const Json& createTime, const Clock& clock) {
  const std::string formatted = Utils::timeStampString(createTime);  // "yyyy-MM-dd HH:mm"
  if (formatted.size() < 16) return formatted;
  if (Utils::isToday(createTime, clock)) return "今天" + formatted.substr(10);
  if (Utils::isYesterday(createTime, clock)) return "昨天" + formatted.substr(10);
  return formatted.substr(2, 8);
}

std::string BillRow::stampImage(std::int64_t status) {
  if (status == 1) return "cwqb_wancheng";
  if (status == 2) return "cwqb(haizi)_yijujue";
  return "cwqb(haizi)_weichuli";
}

Json BillRow::rowState(const Bill& bill, const Clock& clock) {
  Json cell = Json::object();
  const auto subject = bill.subjectModel();
  cell["billId"] = bill.billId.value_or("");
  cell["subjectName"] = subject ? subject->name.value_or("") : "";
  cell["iconUrl"] = subject ? Utils::webAddress(subject->iconUrl.value_or("")) : "";
  cell["points"] = pointsText(bill);
  cell["description"] = bill.descriptions.value_or("");
  cell["date"] = bill.createTime ? dateText(*bill.createTime, clock) : "";
  cell["stamp"] = stampImage(bill.statusValue());
  const auto pictures = bill.pictureList();
  if (pictures.empty()) {
    cell["picture"] = nullptr;
  } else {
    cell["picture"] = Json{{"url", Utils::webAddress(pictures.front().fileUrl.value_or(""))},
                           {"placeholder", kPicturePlaceholder},
                           {"count", std::to_string(pictures.size())}};
  }
  const auto comments = bill.commentList();
  const bool commented = !comments.empty() && comments.front().comment && !comments.front().comment->empty();
  // The comment bubble: the parent's icon beside the text.
  cell["comment"] = commented ? Json{{"text", *comments.front().comment}, {"icon", "chat02"}} : Json(nullptr);
  return cell;
}

}  // namespace twig
