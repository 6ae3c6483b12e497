#include "control/LockScreen.h"

#include "control/AppControlManager.h"
#include "frame/ScreenHost.h"
#include "platform/DeploymentSettings.h"
#include "platform/DeviceFacts.h"
#include "platform/MainLoop.h"
#include "platform/Ports.h"

namespace twig {

const StateShape& LockScreen::stateShape() {
  static const StateShape shape{
      {"gridSide", FieldType::Number},     {"cellSide", FieldType::Number},
      {"sectionInset", FieldType::Number}, {"headerHeight", FieldType::Number},
      {"sections", FieldType::List},       {"warnings", FieldType::Number},
      {"time", FieldType::Text},           {"date", FieldType::Text},
      {"expected", FieldType::Text},       {"expectedLineHeight", FieldType::Number},
      {"closed", FieldType::Flag}};
  return shape;
}

LockScreen::LockScreen(Services services, ControlEvents& control, RemoteEvents& remote)
    : ViewModel("LockScreen", stateShape()), services_(services), control_(control), remote_(remote) {}

LockScreen::~LockScreen() {
  if (store_) store_->unLock();
}

void LockScreen::onLoad() {
  setTitle("管控");
  setState("statusBarHidden", prefersStatusBarHidden());
  // A reset comes on the push channel's thread; the screen belongs to the main loop.
  auto weak = weakSelf<LockScreen>();
  auto onEnd = [weak, &loop = services_.ports.mainLoop] {
    loop.runOrPost([weak] {
      if (auto self = weak.lock()) self->lockEnd();
    });
  };
  controlEnd_ = control_.ended.connect(onEnd);
  reset_ = remote_.reset.connect(onEnd);

  auto& device = services_.ports.device;
  const double side =
      LockGrid::sideForScreen(device.screenHeightPoints(), device.interfaceIdiom() == InterfaceIdiom::Pad);
  lockAppsView_ = std::make_unique<LockGrid>(side, services_.ports.speechSynthesizer,
                                             services_.ports.settings.serviceOrigin());
  setState("gridSide", side);
  setState("cellSide", lockAppsView_->cellSide());
  setState("sectionInset", LockGrid::kSectionInset);
  setState("headerHeight", LockGrid::kHeaderHeight);
  showGrid();

  store_ = std::make_unique<LockClock>(services_.ports.mainLoop, services_.ports.clock);
  updateUnLockTime();
  // The timer is the store's and the store is this screen's: the callback never outlives it.
  store_->updateLockType([this] { updateUnLockTime(); });
}

void LockScreen::setArray(const Json& entries) {
  array_ = entries.is_array() ? entries : Json::array();
  if (lockAppsView_) showGrid();
}

void LockScreen::showGrid() {
  lockAppsView_->updateAppsArray(array_);
  setState("sections", lockAppsView_->sections());
  setState("warnings", lockAppsView_->warningNum());
}

void LockScreen::updateUnLockTime() {
  if (!store_) return;
  setState("time", store_->fecthCurrentTime());
  setState("date", store_->fecthCurrentDate());
  setState("expected", store_->fecthUnlockTimeString());
  setState("expectedLineHeight", 1.5);
}

void LockScreen::lockEnd() {
  if (store_) store_->unLock();
  if (unLockBlock_) unLockBlock_();
  setState("closed", true);
  // Shown as the cover it closes wherever the screens under it are; as a modal screen (as tests
  // show it) only from the top. A screen no longer shown stays as it is.
  if (host() == nullptr) return;
  if (host()->coverScreen().get() == this) {
    host()->dismissCover(this);
  } else if (host()->topScreen().get() == this) {
    host()->dismiss(true);
  }
}

}  // namespace twig
