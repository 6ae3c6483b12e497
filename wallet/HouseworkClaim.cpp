#include "wallet/HouseworkClaim.h"

#include "identity/ChildUser.h"
#include "wallet/BillRequest.h"

namespace twig {

void HouseworkClaim::postHouseWorkTask(const PointsSubject& entry) {
  const std::string device = ChildUser::sharedChildUser().deviceId();
  if (device.empty() || *sending_) return;
  *sending_ = true;
  auto sending = sending_;
  Json parameters = Json::object();
  parameters["childDeviceId"] = device;
  parameters["type"] = 1;
  parameters["subjectId"] = entry.subjectId.value_or(Json(nullptr));
  parameters["pictures"] = nullptr;
  BillRequest::post(
      parameters,
      [sending](const ApiClient::Operation& operation, const std::optional<Json>& answer) {
        *sending = false;
        auto& user = ChildUser::sharedChildUser();
        if (operation->statusCode == 200) {
          user.showSuccessMessage("申请成功");
        } else {
          user.showErrorMessage(BillRequest::errorDescription(answer, "申请失败"));
        }
      },
      [sending](const ApiClient::Operation&, const Error&) {
        *sending = false;
        ChildUser::sharedChildUser().showErrorMessage("申请失败");
      });
}

}  // namespace twig
