#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "frame/ScreenHost.h"
#include "platform/Json.h"

namespace twig {

class Analytics;

// The navigation logic every screen host shares: a stack of screens with modal screens over it and
// the cover over both, the screens' load and appear/disappear calls, the overlay, the no-network bar and open
// alerts. A concrete host only shows what changed, one line at a time through render(): "screen push
// Login/LoginID", "overlay error 绑定失败", "bar show", "alert <title>", "state <screen> <key>=<json>".
class StackScreenHost : public ScreenHost {
 public:
  enum class LineKind { Window, Screen, Overlay, Bar, Alert, State, Keyboard };

  // Where the screens' page views go; none until the agent names it.
  void setAnalytics(Analytics* analytics) { analytics_ = analytics; }

  void showWindow() override;
  void setRoot(ScreenPtr screen) override;
  void push(ScreenPtr screen, bool animated) override;
  void pop(bool animated) override;
  void popToRoot(bool animated) override;
  void present(ScreenPtr screen, bool animated) override;
  void dismiss(bool animated) override;
  ScreenPtr topScreen() const override;
  ScreenPtr rootScreen() const override;
  void presentCover(ScreenPtr screen) override;
  void dismissCover(const ViewModel* screen) override;
  ScreenPtr coverScreen() const override { return cover_; }

  void showOverlay(OverlayKind kind, const std::string& text) override;
  void dismissOverlay() override;
  void showNoNetworkBar(std::function<void()> onClick) override;
  void hideNoNetworkBar() override;
  void showAlert(const AlertSpec& alert, std::function<void(int buttonIndex)> onClick) override;
  void endEditing() override;

  // What a user does.
  bool tapNoNetworkBar();
  // Presses a button of the newest open alert, which then closes.
  bool clickAlertButton(int index);
  bool isNoNetworkBarShown() const { return barShown_; }
  std::optional<AlertSpec> openAlert() const;
  const std::vector<ScreenPtr>& navigationStack() const { return stack_; }
  const std::vector<ScreenPtr>& modalScreens() const { return modals_; }

 protected:
  virtual void render(LineKind kind, const std::string& line) = 0;
  // A shown screen changed one key of its state; by default one "state" line.
  virtual void stateChanged(const ScreenPtr& screen, const std::string& key, const Json& value);

 private:
  Analytics* analytics_ = nullptr;
  void show(const ScreenPtr& screen);
  void hide(const ScreenPtr& screen);
  void listen(const ScreenPtr& screen);

  std::vector<ScreenPtr> stack_;
  std::vector<ScreenPtr> modals_;
  ScreenPtr cover_;
  bool barShown_ = false;
  std::function<void()> barAction_;
  struct OpenAlert {
    AlertSpec spec;
    std::function<void(int)> onClick;
  };
  std::vector<OpenAlert> alerts_;
};

}  // namespace twig
