#include "frame/TWIGBaseViewController.h"

#include <charconv>
#include <limits>
#include "platform/Analytics.h"
#include "platform/Ports.h"

namespace twig {

TWIGBaseViewController::TWIGBaseViewController(std::string className) : className_(std::move(className)) {}

void TWIGBaseViewController::setStoryboardIdentity(std::string storyboardName, std::string storyboardId) {
  storyboardName_ = std::move(storyboardName);
  storyboardId_ = std::move(storyboardId);
}

std::string TWIGBaseViewController::screenName() const {
  if (storyboardName_.empty() && storyboardId_.empty()) return className_;
  return storyboardName_ + "/" + storyboardId_;
}

void TWIGBaseViewController::setTitle(std::optional<std::string> title) {
  title_ = std::move(title);
  setState("title", title_ ? Json(*title_) : Json(nullptr));
}

std::string TWIGBaseViewController::pageName() const {
  return "助手_" + (title_ ? *title_ : className_);
}

void TWIGBaseViewController::setState(const std::string& key, Json value) {
  auto it = state_.find(key);
  if (it != state_.end() && *it == value) return;
  state_[key] = value;
  if (listener_) listener_(key, value);
}

void TWIGBaseViewController::addAction(const std::string& name, Action action) {
  actions_[name] = std::move(action);
}

int TWIGBaseViewController::intArgument(const Json& arguments, const char* key, int missing) {
  if (!arguments.is_object()) return missing;
  const auto it = arguments.find(key);
  if (it == arguments.end()) return missing;
  std::int64_t value = 0;
  if (it->is_number_unsigned()) {
    if (it->get<std::uint64_t>() > static_cast<std::uint64_t>(std::numeric_limits<int>::max()))
      return missing;
    value = it->get<std::int64_t>();
  } else if (it->is_number_integer()) {
    value = it->get<std::int64_t>();
  } else if (it->is_number_float()) {
    const double number = it->get<double>();
    if (!(number >= std::numeric_limits<int>::min() && number <= std::numeric_limits<int>::max()))
      return missing;
    value = static_cast<std::int64_t>(number);
  } else if (it->is_string()) {
    // Typed at the console as text; only a whole number counts.
    const std::string& text = it->get_ref<const std::string&>();
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return missing;
  } else {
    return missing;
  }
  if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) return missing;
  return static_cast<int>(value);
}

bool TWIGBaseViewController::invoke(const std::string& action, const Json& arguments) {
  auto it = actions_.find(action);
  if (it == actions_.end()) return false;
  // A copy: the action may replace actions or let the screen go.
  Action run = it->second;
  run(arguments);
  return true;
}

std::vector<std::string> TWIGBaseViewController::actionNames() const {
  std::vector<std::string> names;
  for (const auto& [name, action] : actions_) names.push_back(name);
  return names;
}

void TWIGBaseViewController::loadViewIfNeeded() {
  if (loaded_) return;
  loaded_ = true;
  viewDidLoad();
}

void TWIGBaseViewController::viewWillAppear() {
  if (auto* analytics = Ports::current().analytics) analytics->beginLogPageView(pageName());
  onWillAppear();
}

void TWIGBaseViewController::viewWillDisappear() {
  if (auto* analytics = Ports::current().analytics) analytics->endLogPageView(pageName());
  onWillDisappear();
}

}  // namespace twig
