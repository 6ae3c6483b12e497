#include "app/Agent.h"

#include <cstdio>
#include <vector>

#include "app/CommandCatalog.h"
#include "app/ScreenCatalog.h"
#include "app/Startup.h"
#include "control/AppRecord.h"
#include "control/ControlGroupRecord.h"
#include "frame/Alert.h"
#include "frame/StackScreenHost.h"
#include "identity/InstallScreen.h"
#include "platform/DeploymentSettings.h"
#include "platform/ImageDownloadCache.h"
#include "platform/MainLoop.h"
#include "platform/Ports.h"
#include "platform/UrlOpener.h"

namespace twig {

namespace {
constexpr const char* kUpgradeTitle = "刺猬家发现新版本请升级";
}  // namespace

Agent::Agent(const Ports& ports, StackScreenHost& host) : Agent(ports, host, Options{}) {}

Agent::Agent(const Ports& ports, StackScreenHost& host, Options options)
    : ports_(ports),
      host_(host),
      options_(std::move(options)),
      cache_(ObjectCache::inDataFolder(ports)),
      tables_(TableStore::fileIn(ports.directories)),
      api_(ApiClient::forService(ports)),
      routes_(options_.routingData ? *options_.routingData : ScreenRoutes::loadShippedRoutingData(),
              screens_),
      child_(cache_, ports.keychain, ports.device),
      location_(ports.locationService),
      inventory_(services(), child_),
      channel_(ports, *api_, cache_, commands_) {
  host_.setAnalytics(&ports.analytics);
  ScreenCatalog::registerAll(*this);
  CommandCatalog::registerAll(*this);
  startup_ = std::make_unique<Startup>(*this);
}

Agent::~Agent() {
  // First the threads that call into the parts: the channel's network thread (commands and their
  // answers), then the location reports that answer through the channel.
  startup_.reset();
  channel_.stop();
  location_.stopLocating();
}

Services Agent::services() {
  return Services{ports_, *api_, cache_, tables_, host_, routes_};
}

WalletContext Agent::walletContext() {
  return WalletContext{services(), child_, remote_};
}

AppControlManager& Agent::control() {
  if (!manager_) {
    manager_ = std::make_unique<AppControlManager>(services(), child_, inventory_, control_, remote_,
                                                   options_.warningLeadMinutes);
  }
  return *manager_;
}

ChannelContext Agent::channelContext() {
  ChannelContext context;
  context.deviceId = child_.deviceId();
  context.parentDN = child_.parentDN();
  context.isBound = [this] { return child_.isBound(); };
  context.unbound = [this] { unbound(); };
  context.mustUpgrade = [this] { showUpgradeAlert(); };
  context.halted = [](const std::string& why) {
    std::fprintf(stderr, "twig-child: push channel stopped: %s\n", why.c_str());
  };
  return context;
}

void Agent::didBind() {
  control().start();
  // A new parent makes the channel connect again with its will, and that connection announces the
  // device online; otherwise it is announced here.
  if (!channel_.setParentDN(child_.parentDN())) channel_.setMqttEventOnline();
}

void Agent::eraseStoredState() {
  ports_.imageCache.clearDisk();
  cache_.clearAllCache();
  tables_.clearAllData(ControlGroupRecord());
  tables_.clearAllData(AppRecord());
}

void Agent::unbound() {
  child_.setBound(false);
  remote_.reset.notify();
}

void Agent::showUpgradeAlert() {
  // Always in a later turn of the main loop: the version check runs on the push channel's thread.
  ports_.mainLoop.post([this] {
    if (!upgradeAlert_) {
      upgradeAlert_ = std::make_shared<Alert>(kUpgradeTitle, "", std::vector<std::string>{"确定"});
    }
    upgradeAlert_->show(host_);
    upgradeAlert_->handlerClickedButton([this](int) {
      ports_.urlOpener.openURL(InstallScreen::kInstallLinkPrefix + ports_.settings.installManifestUrl);
    });
  });
}

}  // namespace twig
