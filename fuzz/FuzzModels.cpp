// The mapping of service and broker JSON onto the agent's models: any JSON, every model kind.
#include <cstddef>
#include <cstdint>
#include <string>

#include "api/TWIGUtils.h"
#include "control/TWGIAppsModel.h"
#include "control/TWIGAppControlGroupModel.h"
#include "control/TWIGLockModel.h"
#include "identity/TWIGActivationModel.h"
#include "messaging/TWIGMQTTModel.h"
#include "wallet/TWIGBillModel.h"
#include "wallet/TWIGTotalModel.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace twig;
  const auto json = TWIGUtils::jsonWithString(std::string(reinterpret_cast<const char*>(data), size));
  if (!json) return 0;
  (void)TWIGBaseModel::fetchModelOfClass<TWIGPullMessageModel>(*json);
  (void)TWIGBaseModel::fetchModelOfClass<TWIGMQTTModel>(*json);
  (void)TWIGBaseModel::fetchModelOfClass<TWIGBillModel>(*json);
  (void)TWIGBaseModel::fetchModelOfClass<TWIGSubjectModel>(*json);
  (void)TWIGBaseModel::fetchModelOfClass<TWIGTotalModel>(*json);
  (void)TWIGBaseModel::fetchModelOfClass<TWIGAppControlGroupModel>(*json);
  (void)TWIGBaseModel::fetchModelOfClass<TWGIAppsModel>(*json);
  (void)TWIGBaseModel::fetchModelOfClass<TWIGLockModel>(*json);
  (void)TWIGBaseModel::fetchModelOfClass<TWIGActivationModel>(*json);
  return 0;
}
