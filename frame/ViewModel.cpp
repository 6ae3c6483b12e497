#include "frame/ViewModel.h"

#include <charconv>
#include <limits>
#include <stdexcept>

#include "platform/Analytics.h"

namespace twig {

ViewModel::ViewModel(std::string className, const StateShape& shape)
    : className_(std::move(className)), shape_(shape) {}

void ViewModel::setRouteIdentity(std::string routeName, std::string routeId) {
  routeName_ = std::move(routeName);
  routeId_ = std::move(routeId);
}

std::string ViewModel::screenName() const {
  if (routeName_.empty() && routeId_.empty()) return className_;
  return routeName_ + "/" + routeId_;
}

void ViewModel::setTitle(std::optional<std::string> title) {
  title_ = std::move(title);
  setState("title", title_ ? Json(*title_) : Json(nullptr));
}

std::string ViewModel::pageName() const {
  return "助手_" + (title_ ? *title_ : className_);
}

void ViewModel::setState(const std::string& key, Json value) {
  if (auto why = shape_.mismatch(key, value); !why.empty()) throw std::logic_error(className_ + ": " + why);
  auto it = state_.find(key);
  if (it != state_.end() && *it == value) return;
  state_[key] = value;
  if (listener_) listener_(key, value);
}

void ViewModel::addAction(const std::string& name, Action action) {
  actions_[name] = std::move(action);
}

int ViewModel::intArgument(const Json& arguments, const char* key, int missing) {
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

bool ViewModel::invoke(const std::string& action, const Json& arguments) {
  auto it = actions_.find(action);
  if (it == actions_.end()) return false;
  // A copy: the action may replace actions or let the screen go.
  Action run = it->second;
  run(arguments);
  return true;
}

std::vector<std::string> ViewModel::actionNames() const {
  std::vector<std::string> names;
  for (const auto& [name, action] : actions_) names.push_back(name);
  return names;
}

void ViewModel::loadViewIfNeeded() {
  if (loaded_) return;
  loaded_ = true;
  onLoad();
}

void ViewModel::onAppear(Analytics* analytics) {
  if (analytics != nullptr) analytics->beginLogPageView(pageName());
  onWillAppear();
}

void ViewModel::onDisappear(Analytics* analytics) {
  if (analytics != nullptr) analytics->endLogPageView(pageName());
  onWillDisappear();
}

}  // namespace twig
