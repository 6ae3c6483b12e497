#include "screens/HomeScreen.h"

#include <chrono>

#include "api/ApiClient.h"
#include "api/Utils.h"
#include "frame/RouteNames.h"
#include "frame/ScreenHost.h"
#include "frame/ScreenRoutes.h"
#include "frame/Services.h"
#include "identity/ChildIdentity.h"
#include "messaging/RemoteEvents.h"
#include "platform/DeviceFacts.h"
#include "platform/MainLoop.h"
#include "platform/Ports.h"
#include "screens/HomeStore.h"
#include "storage/ObjectCache.h"
#include "storage/StoredNames.h"

namespace twig {

const StateShape& HomeScreen::stateShape() {
  static const StateShape shape{{"buttonSpacing", FieldType::Number},
                                {"backgroundHeight", FieldType::Number},
                                {"redPointCornerRadius", FieldType::Number},
                                {"buttons", FieldType::List},
                                {"balance", FieldType::Text},
                                {"redPoint", FieldType::Flag}};
  return shape;
}

HomeScreen::HomeScreen(WalletContext context, Hooks hooks)
    : ViewModel("HomeScreen", stateShape()), context_(context), hooks_(std::move(hooks)) {
  addAction("homePageButton",
            [this](const Json& arguments) { homePageButton(intArgument(arguments, "tag", 0)); });
  addAction("updateRedPoint", [this](const Json&) { updateRedPoint(); });
}

void HomeScreen::onLoad() {
  setTitle("刺猬家");
  setState("titleColor", "white");

  auto& device = context_.services.ports.device;
  const double height = device.screenHeightPoints();
  setState("buttonSpacing", height == 568 ? 30 : height == 480 ? 10 : 20);
  setState("backgroundHeight", height == 480 ? 140 : 200);
  setState("redPointCornerRadius", device.interfaceIdiom() == InterfaceIdiom::Pad ? 5 : 4);
  Json buttons = Json::array();
  const Json features = context_.services.routes.fetchHomePageButtons();
  for (std::size_t i = 0; features.is_array() && i < features.size(); ++i) {
    buttons.push_back(Json{{"tag", kFirstButtonTag + static_cast<int>(i)},
                           {routes::kEntryName, Utils::stringValue(features[i], routes::kEntryName)},
                           {routes::kEntryId, Utils::stringValue(features[i], routes::kEntryId)}});
  }
  setState("buttons", std::move(buttons));

  if (!context_.child.isBound()) {
    // Pushed in the next turn, once this page has finished appearing.
    auto weak = weakSelf<HomeScreen>();
    context_.services.ports.mainLoop.post([weak] {
      if (auto self = weak.lock()) self->pushLogin();
    });
  }

  auto weak = weakSelf<HomeScreen>();
  auto& loop = context_.services.ports.mainLoop;
  reset_ = context_.remote.reset.connect([weak, &loop] {
    loop.runOrPost([weak] {
      if (auto self = weak.lock()) self->reset();
    });
  });
  bills_ = context_.remote.bills.connect([weak, &loop] {
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
  HomeStore::fetchTotalWithComplete(
      context_, [weak, &loop = context_.services.ports.mainLoop](const std::string& total) {
        // The fresh total comes back on the main loop; the stored one on the caller's thread.
        loop.runOrPost([weak, total] {
          if (auto self = weak.lock()) self->setState("balance", total);
        });
      });
  const auto number = context_.services.cache.objectForKey(stored::kNewBills);
  setState("redPoint", number.has_value() && number->boolValue());
}

void HomeScreen::homePageButton(int tag) {
  if (host() == nullptr) return;
  if (auto screen = HomeStore::featureScreen(context_.services.routes, tag - kFirstButtonTag))
    host()->push(screen, true);
}

void HomeScreen::reset() {
  if (hooks_.eraseStoredState) hooks_.eraseStoredState();
  if (hooks_.openApplicationWithTessel) hooks_.openApplicationWithTessel();
  if (hooks_.updateManagementTable) hooks_.updateManagementTable();
  // While the system's lock screen is up nothing more happens: app control posts "Reset" again once
  // the child uses the device.
  if (!hooks_.screenInUse || !hooks_.screenInUse() || host() == nullptr) return;
  if (host()->topScreen().get() != this) host()->popToRoot(true);
  auto weak = weakSelf<HomeScreen>();
  context_.services.ports.mainLoop.postAfter(std::chrono::milliseconds(500), [weak] {
    auto self = weak.lock();
    if (!self || self->host() == nullptr) return;
    if (self->host()->rootScreen() == self) self->pushLogin();
  });
}

void HomeScreen::pushLogin() {
  if (host() == nullptr) return;
  if (auto login = context_.services.routes.makeBindingScreen()) host()->push(login, true);
}

}  // namespace twig
