#pragma once

#include <memory>

#include "api/ApiClient.h"
#include "control/AppControlManager.h"
#include "control/AppInventory.h"
#include "control/ControlEvents.h"
#include "frame/ScreenRegistry.h"
#include "frame/ScreenRoutes.h"
#include "frame/Services.h"
#include "identity/ChildIdentity.h"
#include "messaging/CommandRouter.h"
#include "messaging/MqttPushChannel.h"
#include "messaging/RemoteEvents.h"
#include "status/LocationFix.h"
#include "storage/ObjectCache.h"
#include "storage/TableStore.h"
#include "wallet/WalletContext.h"

namespace twig {

class StackScreenHost;
class Startup;
struct Ports;

// The whole agent, assembled once from the platform's ports and a screen host: the headless
// program, the window module, the tests and the benchmarks all make it this way. It owns every
// part and hands each what it uses through its constructor; nothing of it is reachable from
// elsewhere. Members are made in the order written and end in the reverse order, so that a part
// ends before the parts it uses. Main loop only, but for what the parts themselves allow.
class Agent {
 public:
  struct Options {
    // Minutes before a window closes at which running programs are warned of (0: never).
    int warningLeadMinutes = AppControlManager::kDefaultWarningLead;
    // The routing list of the screens (the shipped "Routing" resource when absent).
    std::optional<Json> routingData;
  };

  Agent(const Ports& ports, StackScreenHost& host, Options options);
  Agent(const Ports& ports, StackScreenHost& host);
  ~Agent();
  Agent(const Agent&) = delete;
  Agent& operator=(const Agent&) = delete;

  const Ports& ports() const { return ports_; }
  StackScreenHost& host() const { return host_; }
  Services services();
  WalletContext walletContext();

  ApiClient& api() { return *api_; }
  ObjectCache& cache() { return cache_; }
  TableStore& tables() { return tables_; }
  ScreenRegistry& screens() { return screens_; }
  const ScreenRoutes& routes() const { return routes_; }
  ChildIdentity& child() { return child_; }
  LocationFix& location() { return location_; }
  RemoteEvents& remoteEvents() { return remote_; }
  ControlEvents& controlEvents() { return control_; }
  CommandRouter& commands() { return commands_; }
  AppInventory& inventory() { return inventory_; }
  MqttPushChannel& channel() { return channel_; }
  Startup& startup() { return *startup_; }
  // The app-control manager, made on first use: making it starts control's work (the keep-alive
  // sound, the lock state, the inventory), so it waits until the launch or a binding asks for it.
  AppControlManager& control();
  bool hasControl() const { return manager_ != nullptr; }

  // The push channel's context for this child: the identities as stored now, and the reactions
  // the channel leaves to the rest of the agent (binding flag, upgrade prompt, a stop for good).
  ChannelContext channelContext();
  // The device has just been bound: app control starts, and the push channel learns the new parent
  // and announces the device online to it.
  void didBind();
  // Everything stored goes, as on unbinding: the disk part of the downloaded pictures, every cache
  // key (the binding flag included) and the two control tables. User defaults stay.
  void eraseStoredState();
  // The service no longer knows this device as bound: the flag goes and "Reset" is raised.
  void unbound();
  // The new-version alert (one alert, shown again at each call), in a later turn of the main loop.
  void showUpgradeAlert();

 private:
  const Ports& ports_;
  StackScreenHost& host_;
  Options options_;
  ObjectCache cache_;
  TableStore tables_;
  std::unique_ptr<ApiClient> api_;
  ScreenRegistry screens_;
  ScreenRoutes routes_;
  ChildIdentity child_;
  LocationFix location_;
  RemoteEvents remote_;
  ControlEvents control_;
  CommandRouter commands_;
  AppInventory inventory_;
  std::unique_ptr<AppControlManager> manager_;
  // After the manager and the location fix: its network thread runs commands that use both, so it
  // ends first.
  MqttPushChannel channel_;
  std::shared_ptr<class Alert> upgradeAlert_;
  std::unique_ptr<Startup> startup_;
};

}  // namespace twig
