#pragma once

#include <string>
#include <vector>

#include "frame/ScreenHost.h"

namespace twig {

class StackScreenHost;

// What a person or a script types to the headless agent, one command a line, to walk its screens
// without a window:
//   screens              the navigation stack, then the modal screens over it and the lock screen
//   show                 the top screen's state, one key a line, and its actions (the lock
//                        screen's while it is shown: nothing under it can be reached)
//   tap ACTION [ARG...]  runs an action of that screen; ARG is a JSON object or KEY=VALUE pairs
//                        (a VALUE that reads as JSON is taken as such, else as text)
//   back                 goes back one screen; a modal screen only by its own "back" action
//   bar                  taps the no-network bar
//   alert INDEX          presses a button of the open alert
//   help                 this list
// Main loop only. Each command answers with lines; a mistake answers "error ...".
class ConsoleCommands {
 public:
  explicit ConsoleCommands(StackScreenHost& host) : host_(host) {}
  std::vector<std::string> run(const std::string& line);
  static std::vector<std::string> help();

 private:
  std::vector<std::string> screens() const;
  std::vector<std::string> show() const;
  // The screen the child sees and acts on: the cover when there is one, else the top screen.
  ScreenPtr shown() const;
  std::vector<std::string> tap(const std::vector<std::string>& words);
  std::vector<std::string> back();

  StackScreenHost& host_;
};

}  // namespace twig
