#include "identity/EnrolmentBody.h"

#include "identity/ChildIdentity.h"
#include "platform/DeviceFacts.h"
#include "storage/StoredNames.h"

namespace twig {

const ModelClass& EnrolmentBody::staticModelClass() {
  using M = EnrolmentBody;
  static const ModelClass modelClass(stored::kEnrolmentClass,
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

Json EnrolmentBody::initWithEnrollCode(const std::string& enrollCode, const ChildIdentity& user,
                                       DeviceFacts& device) {
  EnrolmentBody body;
  body.platform = device.interfaceIdiom() == InterfaceIdiom::Pad ? "3" : "2";
  body.enrollCode = enrollCode;
  body.deviceId = user.deviceId();
  body.clientType = 2;
  body.deviceName = device.deviceName();
  body.token = user.pushToken();
  return fetchFromModel(body);
}

}  // namespace twig
