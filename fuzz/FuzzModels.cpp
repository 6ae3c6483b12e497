// The mapping of service and broker JSON onto the agent's models: any JSON, every model kind.
#include <cstddef>
#include <cstdint>
#include <string>

#include "api/Utils.h"
#include "control/AppRecord.h"
#include "control/ControlGroupRecord.h"
#include "identity/EnrolmentBody.h"
#include "messaging/PullRequestBody.h"
#include "wallet/Bill.h"
#include "wallet/PointsTotal.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace twig;
  const auto json = Utils::jsonWithString(std::string(reinterpret_cast<const char*>(data), size));
  if (!json) return 0;
  (void)Model::fetchModelOfClass<PulledMessage>(*json);
  (void)Model::fetchModelOfClass<PullRequestBody>(*json);
  (void)Model::fetchModelOfClass<Bill>(*json);
  (void)Model::fetchModelOfClass<BillSubject>(*json);
  (void)Model::fetchModelOfClass<PointsTotal>(*json);
  (void)Model::fetchModelOfClass<ControlGroupRecord>(*json);
  (void)Model::fetchModelOfClass<AppRecord>(*json);
  (void)Model::fetchModelOfClass<EnrolmentBody>(*json);
  return 0;
}
