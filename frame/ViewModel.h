#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "frame/StateShape.h"
#include "platform/Json.h"

namespace twig {

class Analytics;
class ScreenHost;

// The logic of one screen, free of any toolkit. It holds what the screen shows as ordered JSON
// state in the fields its shape declares, tells its listener of every field it changes, and offers its
// actions by name, so that one generic bridge can show any screen. Page views go to the analytics service as
// "助手_<title>" (or "助手_<class name>" without a title). Belongs to the main loop.
class ViewModel : public std::enable_shared_from_this<ViewModel> {
 public:
  using ChangeListener = std::function<void(const std::string& key, const Json& value)>;
  using Action = std::function<void(const Json& arguments)>;

  // The shape is kept by reference: each screen class hands in its own lasting one.
  ViewModel(std::string className, const StateShape& shape);
  ViewModel(std::string className, StateShape&& shape) = delete;
  virtual ~ViewModel() = default;
  ViewModel(const ViewModel&) = delete;
  ViewModel& operator=(const ViewModel&) = delete;

  const std::string& className() const { return className_; }
  // Where the routing module made it from; empty for screens made directly.
  void setRouteIdentity(std::string routeName, std::string routeId);
  const std::string& routeName() const { return routeName_; }
  const std::string& routeId() const { return routeId_; }
  // "Name/Identifier" of its route, or the class name for a screen made directly.
  std::string screenName() const;

  const std::optional<std::string>& title() const { return title_; }
  void setTitle(std::optional<std::string> title);
  std::string pageName() const;

  const Json& state() const { return state_; }
  const StateShape& shape() const { return shape_; }
  // Changes one field and tells the listener when the value differs. A field the shape does not
  // declare, or a value of another kind, is a fault of the view model: it throws std::logic_error.
  void setState(const std::string& key, Json value);
  void setChangeListener(ChangeListener listener) { listener_ = std::move(listener); }

  // Runs the named action; false when the screen has no such action.
  bool invoke(const std::string& action, const Json& arguments = Json::object());
  std::vector<std::string> actionNames() const;

  // Called by the screen host.
  void attach(ScreenHost* host) { host_ = host; }
  ScreenHost* host() const { return host_; }
  void loadViewIfNeeded();
  bool isViewLoaded() const { return loaded_; }
  // Called by the screen host; the page view goes to `analytics` when there is one.
  void onAppear(Analytics* analytics);
  void onDisappear(Analytics* analytics);

 protected:
  void addAction(const std::string& name, Action action);
  // A row, tag or index argument of an action; `missing` when it is absent, not a number or
  // outside the range of int (so that 4294967296 never reads as row 0).
  static int intArgument(const Json& arguments, const char* key, int missing = -1);
  virtual void onLoad() {}
  virtual void onWillAppear() {}
  virtual void onWillDisappear() {}
  // A weak handle for work that may outlive the screen (delayed steps, request callbacks).
  template <class T>
  std::weak_ptr<T> weakSelf() {
    return std::static_pointer_cast<T>(shared_from_this());
  }

 private:
  std::string className_;
  const StateShape& shape_;
  std::string routeName_;
  std::string routeId_;
  std::optional<std::string> title_;
  Json state_ = Json::object();
  ChangeListener listener_;
  std::map<std::string, Action> actions_;
  ScreenHost* host_ = nullptr;
  bool loaded_ = false;
};

}  // namespace twig
