#include "messaging/TWIGBaseMessage.h"

#include <functional>
#include <map>
#include <mutex>

#include "api/TWIGUtils.h"
#include "app/AgentServices.h"
#include "control/TWIGRequestAppControlGroupChange.h"
#include "control/TWIGRequestApps.h"
#include "control/TWIGRequestAppsOnekeyControl.h"
#include "control/TWIGRequestCheckApp.h"
#include "identity/TWIGChildUser.h"
#include "messaging/TWIGEventIconUpload.h"
#include "status/TWIGRequestChildInfo.h"
#include "status/TWIGRequestLocation.h"

namespace twig {

namespace {

using Factory = TWIGBaseMessage::Factory;

struct Routes {
  std::mutex mutex;
  // The one routing point from command names to handlers. Only these names resolve.
  std::map<std::string, Factory> table = {
      {"RequestChildInfo", [] { return std::make_shared<TWIGRequestChildInfo>(); }},
      {"RequestLocation", [] { return std::make_shared<TWIGRequestLocation>(); }},
      {"RequestApps", [] { return std::make_shared<TWIGRequestApps>(); }},
      {"RequestCheckApp", [] { return std::make_shared<TWIGRequestCheckApp>(); }},
      {"RequestAppControlGroupChange", [] { return std::make_shared<TWIGRequestAppControlGroupChange>(); }},
      {"RequestAppsOnekeyControl", [] { return std::make_shared<TWIGRequestAppsOnekeyControl>(); }},
      {"EventIconUpload", [] { return std::make_shared<TWIGEventIconUpload>(); }},
  };
};

Routes& routes() {
  static Routes shared;
  return shared;
}

}  // namespace

std::shared_ptr<CommandHandler> TWIGBaseMessage::messageStatus(const std::string& commandName) {
  Factory factory;
  {
    auto& shared = routes();
    std::lock_guard lock(shared.mutex);
    auto it = shared.table.find(commandName);
    if (it == shared.table.end() || !it->second) return nullptr;
    factory = it->second;
  }
  return factory();
}

std::vector<std::string> TWIGBaseMessage::routedCommandNames() {
  auto& shared = routes();
  std::lock_guard lock(shared.mutex);
  std::vector<std::string> names;
  for (const auto& [name, factory] : shared.table) names.push_back(name);
  return names;
}

bool TWIGBaseMessage::replaceRouteForTesting(const std::string& commandName, Factory factory) {
  auto& shared = routes();
  std::lock_guard lock(shared.mutex);
  auto it = shared.table.find(commandName);
  if (it == shared.table.end()) return false;
  it->second = std::move(factory);
  return true;
}

void TWIGBaseMessage::publish(const Json& message, PushChannel::PublishCompletion completion) {
  auto* channel = AgentServices::current().pushChannel;
  if (channel == nullptr) {
    if (completion) completion(TWIGError{"mqtt没有连接上", 0, "no push channel in this process"});
    return;
  }
  channel->publishWithParameter(message, std::move(completion));
}

Json TWIGBaseMessage::responseMessage(const std::string& name, const std::string& uuid, const Json& fields) {
  Json body = Json::object();
  body["commandUuid"] = uuid;
  body["status"] = "Acknowledged";
  body["thisDeviceId"] = TWIGChildUser::sharedChildUser().user_childDeviceId();
  body["updateTime"] = TWIGUtils::timeToTurnTheTimestamp();
  for (auto it = fields.begin(); it != fields.end(); ++it) body[it.key()] = it.value();
  Json message = Json::object();
  message[name] = std::move(body);
  return message;
}

Json TWIGBaseMessage::eventMessage(const std::string& name, const Json& fields) {
  Json body = Json::object();
  body["commandUuid"] = TWIGUtils::getUUIDString();
  body["thisDeviceId"] = TWIGChildUser::sharedChildUser().user_childDeviceId();
  body["createTime"] = TWIGUtils::timeToTurnTheTimestamp();
  for (auto it = fields.begin(); it != fields.end(); ++it) body[it.key()] = it.value();
  Json message = Json::object();
  message[name] = std::move(body);
  return message;
}

Json TWIGBaseMessage::commandBody(const Json& payload) {
  if (!payload.is_object() || payload.empty()) return Json::object();
  const Json& body = payload.begin().value();
  return body.is_object() ? body : Json::object();
}

std::string TWIGBaseMessage::commandUuid(const Json& payload) {
  const Json body = commandBody(payload);
  auto it = body.find("commandUuid");
  if (it == body.end() || it->is_null()) return "";
  return it->is_string() ? it->get<std::string>() : it->dump();
}

}  // namespace twig
