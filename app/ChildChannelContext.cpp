#include "app/ChildChannelContext.h"

#include <cstdio>

#include "control/TWIGManagement.h"
#include "identity/TWIGChildUser.h"
#include "platform/NotificationCenter.h"
#include "platform/Ports.h"
#include "storage/TWIGCache.h"

namespace twig {

ChannelContext ChildChannelContext::make() {
  auto& user = TWIGChildUser::sharedChildUser();
  ChannelContext context;
  context.deviceId = user.user_childDeviceId();
  context.parentDN = user.user_parentDN();
  context.isBound = [] { return TWIGChildUser::sharedChildUser().user_isBinding(); };
  context.unbound = unbound;
  context.mustUpgrade = [] { TWIGChildUser::sharedChildUser().showEventUpgrade(); };
  context.noticed = noticed;
  context.halted = [](const std::string& why) {
    std::fprintf(stderr, "twig-child: push channel stopped: %s\n", why.c_str());
  };
  return context;
}

void ChildChannelContext::noticed(const std::string& type) {
  if (type == "bills") TWIGCache::setObjectValue(CacheObject(Json(1)), TWIGChildUser::kBillsNumberKey);
}

void ChildChannelContext::unbound() {
  TWIGCache::setBool(false, TWIGChildUser::kBindingKey);
  port::notifications().post(TWIGManagement::kReset);
}

}  // namespace twig
