#include "wallet/BillRow.h"

#include <algorithm>
#include <cmath>

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

double BillRow::textHeight(const std::string& text, double width) {
  if (width <= 0) width = 1;
  double lineWidth = 0;
  int lines = 1;
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    if (lead == '\n') {
      ++lines;
      lineWidth = 0;
      ++i;
      continue;
    }
    const double advance = length >= 3 ? 14 : 7;
    if (lineWidth + advance > width) {
      ++lines;
      lineWidth = 0;
    }
    lineWidth += advance;
    i += length;
  }
  return lines * 17.0;
}

double BillRow::calculateRowHeight(const std::vector<BillComment>& comments, double screenWidth) {
  double total = 0;
  bool any = false;
  for (const auto& comment : comments) {
    if (!comment.comment || comment.comment->empty()) continue;
    any = true;
    total = std::floor(total + textHeight(*comment.comment, screenWidth - 80) + 60) + 10;
  }
  return any ? total + 10 : total;
}

double BillRow::rowHeight(const Bill& bill, double screenWidth, double screenHeight) {
  double height = 60 + calculateRowHeight(bill.commentList(), screenWidth);
  const auto pictures = bill.pictureList();
  if (!pictures.empty()) {
    const double high = pictures.front().high ? Utils::integerValue(*pictures.front().high) : 0;
    height += std::clamp(high, 0.0, screenHeight / 2);
  }
  return height;
}

Json BillRow::setModel(const Bill& bill, double screenWidth, double screenHeight, const Clock& clock) {
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
  // The comment bubble: the parent's icon and a stretchable bubble around the text.
  cell["comment"] =
      commented ? Json{{"text", *comments.front().comment}, {"icon", "chat02"}, {"bubble", "cwqb_qipao"}}
                : Json(nullptr);
  cell["height"] = rowHeight(bill, screenWidth, screenHeight);
  return cell;
}

}  // namespace twig
