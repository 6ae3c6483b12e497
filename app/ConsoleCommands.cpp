#include "app/ConsoleCommands.h"

#include <cstdlib>
#include <optional>
#include <sstream>

#include "frame/StackScreenHost.h"
#include "frame/ViewModel.h"
#include "platform/BoundedJson.h"
#include "platform/Json.h"

namespace twig {

namespace {

std::vector<std::string> splitWords(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

std::string dump(const Json& value) {
  return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

// "tag=204 text=abc" or one JSON object; nothing when neither reads.
std::optional<Json> argumentsOf(const std::vector<std::string>& words, std::size_t first,
                                std::string& error) {
  Json arguments = Json::object();
  if (first >= words.size()) return arguments;
  if (words[first].front() == '{') {
    std::string text;
    for (std::size_t i = first; i < words.size(); ++i) text += (i > first ? " " : "") + words[i];
    arguments = BoundedJson::parseOrDiscard(text);
    if (!arguments.is_object()) {
      error = "the argument is not a JSON object";
      return std::nullopt;
    }
    return arguments;
  }
  for (std::size_t i = first; i < words.size(); ++i) {
    const auto equals = words[i].find('=');
    if (equals == std::string::npos || equals == 0) {
      error = "'" + words[i] + "' is not KEY=VALUE";
      return std::nullopt;
    }
    const std::string value = words[i].substr(equals + 1);
    Json parsed = BoundedJson::parseOrDiscard(value);
    arguments[words[i].substr(0, equals)] = parsed.is_discarded() ? Json(value) : parsed;
  }
  return arguments;
}

}  // namespace

std::vector<std::string> ConsoleCommands::help() {
  return {"commands:",
          "  screens                the navigation stack, then the modal screens",
          "  show                   the top screen's state and actions",
          "  tap ACTION [ARG...]    run an action of the top screen (ARG: {json} or KEY=VALUE ...)",
          "  back                   leave the top screen (a modal screen only by its own back action)",
          "  bar                    tap the no-network bar",
          "  alert INDEX            press a button of the open alert"};
}

std::vector<std::string> ConsoleCommands::run(const std::string& line) {
  const auto words = splitWords(line);
  if (words.empty()) return {};
  const std::string& command = words[0];
  if (command == "help") return help();
  if (command == "screens") return screens();
  if (command == "show") return show();
  if (command == "tap") return tap(words);
  if (command == "back") return back();
  if (command == "bar") {
    if (!host_.tapNoNetworkBar()) return {"error the no-network bar is not shown"};
    return {};
  }
  if (command == "alert") {
    if (words.size() != 2) return {"error alert takes a button index"};
    char* end = nullptr;
    const long index = std::strtol(words[1].c_str(), &end, 10);
    if (end == words[1].c_str() || *end != '\0' || index < 0 || index > 100)
      return {"error '" + words[1] + "' is no button index"};
    const auto open = host_.openAlert();
    if (!open) return {"error no alert is open"};
    if (static_cast<std::size_t>(index) >= open->buttons.size())
      return {"error the alert has no button " + words[1]};
    host_.clickAlertButton(static_cast<int>(index));
    return {};
  }
  return {"error unknown command '" + command + "' (try help)"};
}

std::vector<std::string> ConsoleCommands::screens() const {
  std::string line = "screens";
  for (const auto& screen : host_.navigationStack()) line += " " + screen->screenName();
  for (const auto& screen : host_.modalScreens()) line += " | " + screen->screenName();
  if (const auto cover = host_.coverScreen()) line += " | " + cover->screenName();
  return {line};
}

ScreenPtr ConsoleCommands::shown() const {
  // The cover (the lock screen) is what the child sees: nothing under it can be reached.
  if (auto cover = host_.coverScreen()) return cover;
  return host_.topScreen();
}

std::vector<std::string> ConsoleCommands::show() const {
  const auto top = shown();
  if (!top) return {"error no screen is shown"};
  std::vector<std::string> lines;
  const std::string name = top->screenName();
  const Json& state = top->state();
  for (auto it = state.begin(); it != state.end(); ++it)
    lines.push_back("show " + name + " " + it.key() + "=" + dump(it.value()));
  std::string actions = "actions " + name;
  for (const auto& action : top->actionNames()) actions += " " + action;
  lines.push_back(actions);
  return lines;
}

std::vector<std::string> ConsoleCommands::tap(const std::vector<std::string>& words) {
  if (words.size() < 2) return {"error tap takes an action name"};
  const auto top = shown();
  if (!top) return {"error no screen is shown"};
  std::string error;
  const auto arguments = argumentsOf(words, 2, error);
  if (!arguments) return {"error " + error};
  if (!top->invoke(words[1], *arguments))
    return {"error " + top->screenName() + " has no action '" + words[1] + "'"};
  return {};
}

std::vector<std::string> ConsoleCommands::back() {
  // A modal screen closes only the way it offers (the lock screen offers none), as without a console.
  if (!host_.modalScreens().empty() || host_.coverScreen()) {
    const auto top = shown();
    if (!top->invoke("back")) return {"error " + top->screenName() + " cannot be left"};
    return {};
  }
  if (host_.navigationStack().size() < 2) return {"error there is no screen to go back to"};
  host_.pop(true);
  return {};
}

}  // namespace twig
