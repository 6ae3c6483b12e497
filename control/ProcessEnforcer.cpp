#include "control/ProcessEnforcer.h"

#include <csignal>
#include <fstream>

#include "api/Utils.h"
#include "control/ControlEvents.h"
#include "platform/MainLoop.h"
#include "platform/ProcessControl.h"

namespace twig {

ProcessEnforcer::ProcessEnforcer(ControlEvents& events, MainLoop& loop, Clock& clock,
                                 ProcessControl& processes, Report report, Options options)
    : loop_(loop),
      clock_(clock),
      processes_(processes),
      report_(std::move(report)),
      options_(std::move(options)) {
  std::weak_ptr<bool> alive = alive_;
  start_ = events.started.connect([this, alive](const Json& blacklist) {
    loop_.runOrPost([this, alive, blacklist] {
      if (alive.lock()) controlStarted(blacklist);
    });
  });
  end_ = events.ended.connect([this, alive] {
    loop_.runOrPost([this, alive] {
      if (alive.lock()) controlEnded();
    });
  });
}

ProcessEnforcer::~ProcessEnforcer() {
  // No observer runs any more once these return; then the delayed steps find nothing alive.
  start_.reset();
  end_.reset();
  alive_.reset();
}

void ProcessEnforcer::controlStarted(const Json& blacklist) {
  std::set<std::string> offending;
  for (const auto& entry : blacklist.is_array() ? blacklist : Json::array()) {
    const Json apps = entry.is_object() ? entry.value("apps", Json::array()) : Json::array();
    for (const auto& app : apps.is_array() ? apps : Json::array()) {
      const std::string name = Utils::stringValue(app, "processName");
      if (!name.empty()) offending.insert(name);
    }
  }
  // A program that stopped offending starts afresh if it offends again.
  for (auto it = warnedAt_.begin(); it != warnedAt_.end();) {
    it = offending.count(it->first) > 0 ? std::next(it) : warnedAt_.erase(it);
  }
  const SteadyTime now = clock_.steadyNow();
  std::set<std::string> due;
  for (const auto& name : offending) {
    const auto [at, fresh] = warnedAt_.emplace(name, now);
    if (!fresh && now - at->second >= options_.grace) due.insert(name);
  }
  if (due.empty()) return;
  const unsigned user = processes_.currentUser();
  const int self = processes_.currentProcess();
  for (const auto& process : processes_.processes()) {
    if (due.count(process.name) == 0 || process.uid != user || process.pid <= 1 || process.pid == self)
      continue;
    if (!terminated_.insert(process.pid).second) continue;
    if (!processes_.signal(process.pid, SIGTERM)) continue;
    tell("SIGTERM " + std::to_string(process.pid) + " " + process.name);
    std::weak_ptr<bool> alive = alive_;
    loop_.postAfter(options_.killAfter,
                    [this, alive, pid = process.pid, name = process.name, round = round_] {
                      if (alive.lock()) finish(pid, name, round);
                    });
  }
}

void ProcessEnforcer::finish(int pid, const std::string& name, std::uint64_t round) {
  // Control ended meanwhile (the window opened, or the program closed): nothing more.
  if (round != round_) return;
  const unsigned user = processes_.currentUser();
  for (const auto& process : processes_.processes()) {
    // The same process still: a pid the system gave to another program is left alone.
    if (process.pid != pid || process.name != name || process.uid != user) continue;
    if (processes_.signal(pid, SIGKILL)) tell("SIGKILL " + std::to_string(pid) + " " + name);
  }
}

void ProcessEnforcer::controlEnded() {
  if (warnedAt_.empty() && terminated_.empty()) return;
  warnedAt_.clear();
  terminated_.clear();
  ++round_;
}

void ProcessEnforcer::tell(const std::string& act) {
  const std::string line = "enforce " + act;
  if (report_) report_(line);
  if (options_.logFile.empty()) return;
  std::error_code error;
  std::filesystem::create_directories(options_.logFile.parent_path(), error);
  std::ofstream log(options_.logFile, std::ios::app);
  log << Utils::timeStampString(Json(Utils::millisecondsSince1970(clock_.now()))) << " " << act << "\n";
}

}  // namespace twig
