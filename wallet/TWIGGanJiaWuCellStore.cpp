#include "wallet/TWIGGanJiaWuCellStore.h"

#include "identity/TWIGChildUser.h"
#include "wallet/TWIGBillsRequest.h"

namespace twig {

void TWIGGanJiaWuCellStore::postHouseWorkTask(const TWIGBonuspointsMondel& entry) {
  const std::string device = TWIGChildUser::sharedChildUser().user_childDeviceId();
  if (device.empty() || *sending_) return;
  *sending_ = true;
  auto sending = sending_;
  Json parameters = Json::object();
  parameters["childDeviceId"] = device;
  parameters["type"] = 1;
  parameters["subjectId"] = entry.subjectId.value_or(Json(nullptr));
  parameters["pictures"] = nullptr;
  TWIGBillsRequest::post(
      parameters,
      [sending](const TWIGRequest::Operation& operation, const std::optional<Json>& answer) {
        *sending = false;
        auto& user = TWIGChildUser::sharedChildUser();
        if (operation->statusCode == 200) {
          user.showSuccessMessage("申请成功");
        } else {
          user.showErrorMessage(TWIGBillsRequest::errorDescription(answer, "申请失败"));
        }
      },
      [sending](const TWIGRequest::Operation&, const TWIGError&) {
        *sending = false;
        TWIGChildUser::sharedChildUser().showErrorMessage("申请失败");
      });
}

}  // namespace twig
