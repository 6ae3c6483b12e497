#include <time.h>

#include <filesystem>
#include <string>

#include "bench/BenchPorts.h"
#include "bench/Benchmark.h"
#include "control/AppControlManager.h"
#include "platform/AtomicFile.h"
#include "platform/fake/ManualClock.h"
#include "platform/linux/ProcProcessTable.h"

namespace twig::bench {

namespace {

double cpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

}  // namespace

// One evaluation tick against a process table of `processes` entries (a /proc-like folder read the
// way the agent reads /proc), with `apps` applications in `groups` controlled groups, beside the
// floor of reading that table alone.
int evaluationBenchmark(int processes, int apps, int groups, int ticks, const std::filesystem::path& folder) {
  std::filesystem::remove_all(folder);
  const auto proc = folder / "proc";
  for (int pid = 1; pid <= processes; ++pid) {
    std::filesystem::create_directories(proc / std::to_string(pid));
    AtomicFile::write(proc / std::to_string(pid) / "comm",
                      "process" + std::to_string(pid % (apps * 2)) + "\n", 0644, false);
  }
  ManualClock clock(WallTime(std::chrono::seconds(1480291200 + 23 * 3600 + 30 * 60)));  // a Monday, 23:30 UTC
  ProcProcessTable table(proc);
  BenchPorts ports(clock, folder, 1883, &table);

  Json monitoring = Json::array();
  for (int g = 0; g < groups; ++g) {
    Json group = {{"groupId", "group" + std::to_string(g)},
                  {"groupName", "group " + std::to_string(g)},
                  {"type", "2"},
                  {"startTime", "06:00"},
                  {"endTime", "23:00"},
                  {"week", "0,1,2,3,4,5,6"},
                  {"apps", Json::array()}};
    for (int a = g; a < apps; a += groups) {
      group["apps"].push_back(Json{{"appPackage", "com.example.app" + std::to_string(a)},
                                   {"appName", "App " + std::to_string(a)},
                                   {"processName", "process" + std::to_string(a * 2)}});
    }
    monitoring.push_back(std::move(group));
  }
  auto& manager = ports.agent().control();
  manager.setArrayMonitorings(monitoring);
  const std::size_t offending = manager.blacklist().size();

  double start = cpuSeconds();
  for (int i = 0; i < ticks; ++i) manager.evaluate();
  const double tickSeconds = cpuSeconds() - start;
  report("evaluation tick (CPU)", ticks, tickSeconds);

  start = cpuSeconds();
  std::size_t names = 0;
  for (int i = 0; i < ticks; ++i) names += table.runningProcesses()->size();
  const double floorSeconds = cpuSeconds() - start;
  report("floor: reading the process table (CPU)", ticks, floorSeconds);
  std::printf("  %d processes, %d applications in %d groups, %zu groups offending\n", processes, apps, groups,
              offending);
  std::printf("  tick / floor: %.2f\n", tickSeconds / floorSeconds);
  ports.endAgent();
  return names > 0 ? 0 : 1;
}

}  // namespace twig::bench
