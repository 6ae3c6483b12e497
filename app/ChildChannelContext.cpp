#include "app/ChildChannelContext.h"

#include <cstdio>

#include "control/AppControlManager.h"
#include "identity/ChildUser.h"
#include "platform/NotificationCenter.h"
#include "platform/Ports.h"
#include "storage/Cache.h"

namespace twig {

ChannelContext ChildChannelContext::make() {
  auto& user = ChildUser::sharedChildUser();
  ChannelContext context;
  context.deviceId = user.deviceId();
  context.parentDN = user.parentDN();
  context.isBound = [] { return ChildUser::sharedChildUser().isBound(); };
  context.unbound = unbound;
  context.mustUpgrade = [] { ChildUser::sharedChildUser().showEventUpgrade(); };
  context.noticed = noticed;
  context.halted = [](const std::string& why) {
    std::fprintf(stderr, "twig-child: push channel stopped: %s\n", why.c_str());
  };
  return context;
}

void ChildChannelContext::noticed(const std::string& type) {
  if (type == "bills") Cache::setObjectValue(CacheObject(Json(1)), ChildUser::kBillsNumberKey);
}

void ChildChannelContext::unbound() {
  Cache::setBool(false, ChildUser::kBindingKey);
  port::notifications().post(AppControlManager::kReset);
}

}  // namespace twig
