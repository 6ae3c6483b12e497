#include "screens/HomeScreen.h"

#include <chrono>

#include "api/Utils.h"
#include "control/AppControlManager.h"
#include "frame/ScreenHost.h"
#include "frame/ScreenRoutes.h"
#include "identity/ChildUser.h"
#include "platform/DeviceFacts.h"
#include "platform/MainLoop.h"
#include "platform/Ports.h"
#include "screens/HomeStore.h"
#include "storage/Cache.h"

namespace twig {

namespace {

constexpr const char* kBillsNotification = "bills";

}  // namespace

HomeScreen::HomeScreen(Services services)
    : ViewModel("HomeScreen"), services_(std::move(services)) {
  addAction("homePageButton",
            [this](const Json& arguments) { homePageButton(intArgument(arguments, "tag", 0)); });
  addAction("updateRedPoint", [this](const Json&) { updateRedPoint(); });
}

void HomeScreen::onLoad() {
  setTitle("刺猬家");
  setState("titleColor", "white");
  setState("navigationBackground", "beijing");

  auto& device = port::device();
  const double height = device.screenHeightPoints();
  setState("buttonSpacing", height == 568 ? 30 : height == 480 ? 10 : 20);
  setState("backgroundHeight", height == 480 ? 140 : 200);
  setState("redPointCornerRadius", device.interfaceIdiom() == InterfaceIdiom::Pad ? 5 : 4);
  Json buttons = Json::array();
  const Json features = ScreenRoutes::sharedRouting().fetchHomePageButtons();
  for (std::size_t i = 0; features.is_array() && i < features.size(); ++i) {
    buttons.push_back(Json{{"tag", kFirstButtonTag + static_cast<int>(i)},
                           {"storyboardName", Utils::stringValue(features[i], "storyboardName")},
                           {"storyboardID", Utils::stringValue(features[i], "storyboardID")}});
  }
  setState("buttons", std::move(buttons));

  if (!ChildUser::sharedChildUser().isBound()) {
    // Pushed in the next turn, once this page has finished appearing.
    auto weak = weakSelf<HomeScreen>();
    port::mainLoop().post([weak] {
      if (auto self = weak.lock()) self->pushLogin();
    });
  }

  auto weak = weakSelf<HomeScreen>();
  auto& notifications = port::notifications();
  auto& loop = port::mainLoop();
  reset_ = notifications.addObserver(AppControlManager::kReset, [weak, &loop](const Notification&) {
    loop.runOrPost([weak] {
      if (auto self = weak.lock()) self->reset();
    });
  });
  bills_ = notifications.addObserver(kBillsNotification, [weak, &loop](const Notification&) {
    loop.runOrPost([weak] {
      if (auto self = weak.lock()) self->updateRedPoint();
    });
  });
  updateRedPoint();
}

void HomeScreen::onWillAppear() {
  // The first appearance follows the load, which has just asked.
  if (appeared_) updateRedPoint();
  appeared_ = true;
}

void HomeScreen::updateRedPoint() {
  auto weak = weakSelf<HomeScreen>();
  HomeStore::fetchTotalWithComplete([weak](const std::string& total) {
    // The fresh total comes back on the main loop; the stored one on the caller's thread.
    port::mainLoop().runOrPost([weak, total] {
      if (auto self = weak.lock()) self->setState("balance", total);
    });
  });
  const auto number = Cache::objectForKey(kBillsNumberKey);
  setState("redPoint", number.has_value() && number->boolValue());
}

void HomeScreen::homePageButton(int tag) {
  if (host() == nullptr) return;
  if (auto screen = HomeStore::featureScreen(tag - kFirstButtonTag))
    host()->push(screen, true);
}

void HomeScreen::reset() {
  Cache::resetDefaults();
  if (services_.openApplicationWithTessel) services_.openApplicationWithTessel();
  if (services_.updateManagementTable) services_.updateManagementTable();
  // While the system's lock screen is up nothing more happens: app control posts "Reset" again once
  // the child uses the device.
  if (!services_.screenInUse || !services_.screenInUse() || host() == nullptr) return;
  if (host()->topScreen().get() != this) host()->popToRoot(true);
  auto weak = weakSelf<HomeScreen>();
  port::mainLoop().postAfter(std::chrono::milliseconds(500), [weak] {
    auto self = weak.lock();
    if (!self || self->host() == nullptr) return;
    if (self->host()->rootScreen() == self) self->pushLogin();
  });
}

void HomeScreen::pushLogin() {
  if (host() == nullptr) return;
  if (auto login = ScreenRoutes::sharedRouting().makeBindingScreen()) host()->push(login, true);
}

}  // namespace twig
