#include "identity/InstallScreen.h"

#include <chrono>

#include "api/ApiClient.h"
#include "frame/ScreenHost.h"
#include "frame/Services.h"
#include "identity/ChildIdentity.h"
#include "platform/ApplicationEvents.h"
#include "platform/DeploymentSettings.h"
#include "platform/DeviceFacts.h"
#include "platform/Ports.h"
#include "platform/UrlOpener.h"
#include "storage/ObjectCache.h"
#include "storage/StoredNames.h"

namespace twig {

const StateShape& InstallScreen::stateShape() {
  static const StateShape shape{{"label", FieldType::Text},
                                {"buttonTitle", FieldType::Text},
                                {"buttonBackground", FieldType::Text},
                                {"buttonTitleColor", FieldType::Text},
                                {"picture", FieldType::Text},
                                {"pictureOffset", FieldType::Number}};
  return shape;
}

using namespace std::chrono_literals;

InstallScreen::InstallScreen(Services services)
    : ViewModel("InstallScreen", stateShape()), services_(services) {
  addAction("install", [this](const Json&) { install(); });
}

void InstallScreen::onLoad() {
  setTitle("安装孩子端");
  auto weak = weakSelf<InstallScreen>();
  auto& notifications = services_.ports.notifications;
  auto& loop = services_.ports.mainLoop;
  // A pushed command may carry these names too, on the push channel's thread: the screen's work
  // stays on the main loop.
  foreground_ =
      notifications.addObserver(ApplicationEvents::kWillEnterForeground, [weak, &loop](const Notification&) {
        loop.runOrPost([weak] {
          if (auto self = weak.lock()) self->didBecomeActiveNotification();
        });
      });
  background_ =
      notifications.addObserver(ApplicationEvents::kDidEnterBackground, [weak, &loop](const Notification&) {
        loop.runOrPost([weak] {
          if (auto self = weak.lock()) self->didEnterBackgroundNotification();
        });
      });
  timer_ = services_.ports.mainLoop.scheduleRepeating(5s, [weak] {
    if (auto self = weak.lock()) self->detection();
  });
  showNotInstalled();
  gif1();
  detection();
}

void InstallScreen::showNotInstalled() {
  selected_ = false;
  setState("label", "点击“立即安装”并选择安装。");
  setState("buttonTitle", "立即安装");
  setState("buttonBackground", "#2CBB78");  // RGB 44, 187, 120
  setState("buttonTitleColor", "#FFFFFF");
}

void InstallScreen::showInstalled() {
  selected_ = true;
  setState("label", "返回桌面，找到“刺猬家-孩子”打开，并点击信任");
  setState("buttonTitle", "已安装");
  setState("buttonBackground", "#ECEDED");  // RGB 236, 237, 237
  setState("buttonTitleColor", "#8A8A8A");  // RGB 138, 138, 138
}

void InstallScreen::install() {
  if (selected_) return;
  auto weak = weakSelf<InstallScreen>();
  services_.ports.mainLoop.postAfter(2500ms, [weak] {
    if (auto self = weak.lock()) self->gif2();
  });
  services_.ports.urlOpener.openURL(kInstallLinkPrefix + services_.ports.settings.launcherManifestUrl);
  services_.cache.setBool(true, stored::kInstallChosen);
}

void InstallScreen::detection() {
  const bool installed = services_.ports.urlOpener.canOpenURL(kLauncherScheme);
  auto weak = weakSelf<InstallScreen>();
  if (installed && !selected_) {
    services_.ports.mainLoop.post([weak] {
      if (auto self = weak.lock()) {
        self->showInstalled();
        self->gif2();
      }
    });
  } else if (!installed && selected_) {
    services_.ports.mainLoop.post([weak] {
      if (auto self = weak.lock()) {
        self->showNotInstalled();
        self->gif1();
      }
    });
  }
}

void InstallScreen::gif1() {
  setState("picture", "111.gif");
  const double height = services_.ports.device.screenHeightPoints();
  int offset = 400;
  if (height == 480) {
    offset = 10;
  } else if (height == 568) {
    offset = 150;
  } else if (height == 667) {
    offset = 200;
  } else if (height == 736) {
    offset = 250;
  }
  setState("pictureOffset", offset);
}

void InstallScreen::gif2() {
  setState("picture", "333.gif");
  setState("pictureOffset", services_.ports.device.interfaceIdiom() == InterfaceIdiom::Pad ? 150 : 10);
}

void InstallScreen::didEnterBackgroundNotification() {
  timer_.pause();
}

void InstallScreen::didBecomeActiveNotification() {
  timer_.fireNow();
  detection();
}

}  // namespace twig
