// The headless agent at rest: bound, connected to a broker and the local service, doing nothing but
// its timers. Reads its CPU time, resident memory and wake-ups (voluntary context switches of all
// its threads) from /proc over a span, against 0.1% of a core and 15 MB.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/Benchmark.h"

namespace twig::bench {

namespace {

using namespace std::chrono_literals;

// Starts `program` with its output in `log`; standard input is /dev/null.
pid_t launch(const std::vector<std::string>& arguments, const std::filesystem::path& log) {
  const pid_t pid = fork();
  if (pid == 0) {
    const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int in = open("/dev/null", O_RDONLY);
    dup2(out, STDOUT_FILENO);
    dup2(out, STDERR_FILENO);
    dup2(in, STDIN_FILENO);
    std::vector<char*> argv;
    for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  return pid;
}

std::string readAll(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Waits until `log` holds `needle`; the text after it up to the line's end, or nothing.
std::optional<std::string> waitForText(const std::filesystem::path& log, const std::string& needle,
                                       std::chrono::seconds timeout) {
  const auto giveUp = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < giveUp) {
    const std::string text = readAll(log);
    if (const auto at = text.find(needle); at != std::string::npos) {
      const auto from = at + needle.size();
      return text.substr(from, text.find('\n', from) - from);
    }
    std::this_thread::sleep_for(100ms);
  }
  return std::nullopt;
}

struct Usage {
  double cpuSeconds = 0;
  long long wakeups = 0;
  std::map<std::string, long long> wakeupsByThread;  // by thread id and name
  double residentMb = 0;
};

Usage usageOf(pid_t pid) {
  Usage usage;
  const std::string proc = "/proc/" + std::to_string(pid);
  // Fields 14 and 15 of stat (after the parenthesised name): user and system time in ticks.
  const std::string stat = readAll(proc + "/stat");
  std::istringstream fields(stat.substr(stat.rfind(')') + 2));
  std::string field;
  long long ticks = 0;
  for (int index = 3; fields >> field; ++index) {
    if (index == 14 || index == 15) ticks += std::stoll(field);
    if (index == 15) break;
  }
  usage.cpuSeconds = static_cast<double>(ticks) / static_cast<double>(sysconf(_SC_CLK_TCK));
  for (const auto& task : std::filesystem::directory_iterator(proc + "/task")) {
    std::string name = readAll(task.path() / "comm");
    name.erase(std::remove(name.begin(), name.end(), '\n'), name.end());
    std::istringstream lines(readAll(task.path() / "status"));
    for (std::string line; std::getline(lines, line);) {
      if (line.rfind("voluntary_ctxt_switches:", 0) != 0) continue;
      const long long switches = std::stoll(line.substr(24));
      usage.wakeups += switches;
      usage.wakeupsByThread[task.path().filename().string() + " " + name] = switches;
    }
  }
  std::istringstream lines(readAll(proc + "/status"));
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("VmRSS:", 0) == 0) usage.residentMb = std::stod(line.substr(6)) / 1024.0;
  }
  return usage;
}

// How the resident memory divides (/proc/PID/smaps_rollup), in MB: pages of files other processes
// map too (the shared libraries' code, mostly), the process's own, and its proportional share.
struct Residence {
  double sharedMb = 0;
  double privateMb = 0;
  double anonymousMb = 0;
  double proportionalMb = 0;
};

Residence residenceOf(pid_t pid) {
  Residence residence;
  std::istringstream lines(readAll("/proc/" + std::to_string(pid) + "/smaps_rollup"));
  for (std::string line; std::getline(lines, line);) {
    const auto colon = line.find(':');
    if (colon == std::string::npos) continue;
    const std::string key = line.substr(0, colon);
    const double mb = std::atof(line.c_str() + colon + 1) / 1024.0;
    if (key == "Shared_Clean" || key == "Shared_Dirty") residence.sharedMb += mb;
    if (key == "Private_Clean" || key == "Private_Dirty") residence.privateMb += mb;
    if (key == "Anonymous") residence.anonymousMb = mb;
    if (key == "Pss") residence.proportionalMb = mb;
  }
  return residence;
}

void stop(pid_t pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  int status = 0;
  waitpid(pid, &status, 0);
}

}  // namespace

int idleBenchmark(const IdleOptions& options) {
  const auto& folder = options.folder;
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  const std::string mqttPort = std::to_string(options.mqttPort);
  const pid_t service = launch(
      {options.service, "--port", "0", "--db", (folder / "service.sqlite").string(), "--mqtt-port", mqttPort},
      folder / "service.log");
  pid_t agent = -1;
  auto finish = [&](int code) {
    stop(agent);
    stop(service);
    return code;
  };
  const auto listening = waitForText(folder / "service.log", "listening on ", 10s);
  if (!listening) {
    std::printf("twig-service did not start (see %s)\n", (folder / "service.log").c_str());
    return finish(1);
  }
  const std::string serviceHost = listening->substr(0, listening->find(','));
  std::string code;
  {
    const std::string command = options.parent + " --service " + serviceHost + " bind-code";
    FILE* pipe = popen(command.c_str(), "r");
    char buffer[64] = {};
    if (pipe != nullptr && std::fgets(buffer, sizeof buffer, pipe) != nullptr) code = buffer;
    if (pipe != nullptr) pclose(pipe);
    code.erase(std::remove(code.begin(), code.end(), '\n'), code.end());
  }
  if (code.empty()) {
    std::printf("no binding code from %s\n", options.parent.c_str());
    return finish(1);
  }
  agent = launch({options.child, "--headless", "--service-host", serviceHost, "--mqtt-port", mqttPort,
                  "--data-dir", (folder / "child").string(), "--keychain", "file", "--enroll-code", code},
                 folder / "agent.log");
  if (!waitForText(folder / "agent.log", "screen pop Login/LoginID", 30s)) {
    std::printf("the agent did not bind (see %s)\n", (folder / "agent.log").c_str());
    return finish(1);
  }
  std::this_thread::sleep_for(options.settle);  // the start's own work (inventory, first ticks) ends
  const Usage before = usageOf(agent);
  double peakMb = before.residentMb;
  const auto start = std::chrono::steady_clock::now();
  while (std::chrono::steady_clock::now() - start < options.span) {
    std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
        10s, options.span - (std::chrono::steady_clock::now() - start)));
    peakMb = std::max(peakMb, usageOf(agent).residentMb);
  }
  const Usage after = usageOf(agent);
  const Residence residence = residenceOf(agent);
  // The floor, measured now, with the page cache as the agent finds it.
  double floorMb = 0;
  const pid_t floor = launch({options.floor}, folder / "floor.log");
  if (waitForText(folder / "floor.log", "floor ready", 10s)) {
    std::this_thread::sleep_for(1s);
    floorMb = usageOf(floor).residentMb;
  }
  stop(floor);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double cpuPercent = 100.0 * (after.cpuSeconds - before.cpuSeconds) / seconds;
  const double wakeupsPerSecond = static_cast<double>(after.wakeups - before.wakeups) / seconds;
  std::printf(
      "idle agent, bound and connected, over %.0f s: CPU %.3f%% of a core (target 0.1%%: %s), resident %.1f "
      "MB "
      "at the end, %.1f MB at most (target 15 MB: %s), %.2f wake-ups per second (voluntary context switches "
      "of all threads)\n",
      seconds, cpuPercent, cpuPercent <= 0.1 ? "met" : "missed", after.residentMb, peakMb,
      peakMb <= 15 ? "met" : "missed", wakeupsPerSecond);
  std::printf(
      "  resident at the end: %.1f MB shared with other processes (library pages), %.1f MB its own (%.1f MB "
      "anonymous); proportional share %.1f MB\n",
      residence.sharedMb, residence.privateMb, residence.anonymousMb, residence.proportionalMb);
  if (floorMb > 0) {
    std::printf(
        "  floor (its libraries loaded and started, nothing else: twig-library-floor): %.1f MB resident; "
        "agent %.2fx the floor\n",
        floorMb, after.residentMb / floorMb);
  }
  for (const auto& [thread, switches] : after.wakeupsByThread) {
    const auto earlier = before.wakeupsByThread.find(thread);
    const long long since = switches - (earlier != before.wakeupsByThread.end() ? earlier->second : 0);
    if (since > 0) std::printf("  thread %-24s %.2f wake-ups per second\n", thread.c_str(), since / seconds);
  }
  return finish(0);
}

}  // namespace twig::bench
