#include "wallet/HouseworkClaim.h"

#include "api/ApiClient.h"
#include "frame/ScreenHost.h"
#include "frame/Services.h"
#include "identity/ChildIdentity.h"
#include "platform/Ports.h"
#include "wallet/BillRequest.h"

namespace twig {

void HouseworkClaim::postHouseWorkTask(const PointsSubject& entry) {
  const std::string device = context_.child.deviceId();
  if (device.empty() || *sending_) return;
  *sending_ = true;
  auto sending = sending_;
  Json parameters = Json::object();
  parameters["childDeviceId"] = device;
  parameters["type"] = 1;
  parameters["subjectId"] = entry.subjectId.value_or(Json(nullptr));
  parameters["pictures"] = nullptr;
  auto& host = context_.services.host;
  BillRequest::post(
      context_.services.api, parameters,
      [sending, &host](const ApiClient::Operation& operation, const std::optional<Json>& answer) {
        *sending = false;
        if (operation->statusCode == 200) {
          host.showOverlay(OverlayKind::Success, "申请成功");
        } else {
          host.showOverlay(OverlayKind::Error, BillRequest::errorDescription(answer, "申请失败"));
        }
      },
      [sending, &host](const ApiClient::Operation&, const Error&) {
        *sending = false;
        host.showOverlay(OverlayKind::Error, "申请失败");
      });
}

}  // namespace twig
