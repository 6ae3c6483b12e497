#include "identity/TWIGActivationModel.h"

#include "identity/TWIGChildUser.h"
#include "platform/DeviceFacts.h"
#include "platform/Ports.h"

namespace twig {

const ModelClass& TWIGActivationModel::staticModelClass() {
  using M = TWIGActivationModel;
  static const ModelClass modelClass("TWIGActivationModel",
                                     {
                                         textField("platform", &M::platform),
                                         textField("enrollCode", &M::enrollCode),
                                         textField("deviceId", &M::deviceId),
                                         integerField("clientType", &M::clientType),
                                         textField("deviceName", &M::deviceName),
                                         textField("token", &M::token),
                                     },
                                     [] { return std::make_unique<M>(); });
  return modelClass;
}

Json TWIGActivationModel::initWithEnrollCode(const std::string& enrollCode) {
  auto& device = port::device();
  auto& user = TWIGChildUser::sharedChildUser();
  TWIGActivationModel body;
  body.platform = device.interfaceIdiom() == InterfaceIdiom::Pad ? "3" : "2";
  body.enrollCode = enrollCode;
  body.deviceId = user.user_childDeviceId();
  body.clientType = 2;
  body.deviceName = device.deviceName();
  body.token = user.user_APNSToken();
  return fetchFromModel(body);
}

}  // namespace twig
