#pragma once

#include <algorithm>
#include <csignal>
#include <string>
#include <vector>

#include "platform/ProcessControl.h"

namespace twig {

// A process table the test fills; signals are recorded ("TERM 12", "KILL 12") and a process ends
// on SIGKILL, or on SIGTERM unless it is stubborn.
class FakeProcessControl final : public ProcessControl {
 public:
  unsigned user = 1000;
  int self = 4242;
  std::vector<RunningProcess> table;
  std::vector<int> stubborn;  // pids that ignore SIGTERM
  std::vector<std::string> signals;

  std::vector<RunningProcess> processes() override { return table; }
  bool signal(int pid, int signal) override {
    auto it =
        std::find_if(table.begin(), table.end(), [pid](const RunningProcess& p) { return p.pid == pid; });
    if (it == table.end()) return false;
    signals.push_back(std::string(signal == SIGKILL ? "KILL " : "TERM ") + std::to_string(pid));
    const bool ignores = signal == SIGTERM && std::count(stubborn.begin(), stubborn.end(), pid) > 0;
    if (!ignores) table.erase(it);
    return true;
  }
  unsigned currentUser() const override { return user; }
  int currentProcess() const override { return self; }
};

}  // namespace twig
