#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "platform/Clock.h"
#include "platform/Json.h"
#include "platform/NotificationCenter.h"

namespace twig {

struct ControlEvents;

class MainLoop;
class ProcessControl;

// The optional closing of offending programs (`--enforce close`, off by default). A program that
// control names is warned about by the lock screen; one that still runs a minute after that first
// warning gets SIGTERM, and SIGKILL ten seconds later if it still runs then and control is still
// on. Only processes of the agent's own user, never the agent itself nor pid 1. Every act is told
// to `report` and appended to the log file. Main loop only; control may be announced on any thread.
class ProcessEnforcer {
 public:
  struct Options {
    Duration grace = std::chrono::minutes(1);
    Duration killAfter = std::chrono::seconds(10);
    std::filesystem::path logFile;  // empty: no log file
  };
  using Report = std::function<void(const std::string& line)>;

  ProcessEnforcer(ControlEvents& events, MainLoop& loop, Clock& clock, ProcessControl& processes,
                  Report report, Options options);
  ~ProcessEnforcer();
  ProcessEnforcer(const ProcessEnforcer&) = delete;
  ProcessEnforcer& operator=(const ProcessEnforcer&) = delete;

 private:
  void controlStarted(const Json& blacklist);
  void controlEnded();
  void finish(int pid, const std::string& name, std::uint64_t round);
  void tell(const std::string& act);

  MainLoop& loop_;
  Clock& clock_;
  ProcessControl& processes_;
  Report report_;
  Options options_;
  std::map<std::string, SteadyTime> warnedAt_;  // offending name → its first warning
  std::set<int> terminated_;                    // pids sent SIGTERM in this round of control
  std::uint64_t round_ = 0;                     // a new one each time control ends
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  ObserverToken start_;
  ObserverToken end_;
};

}  // namespace twig
