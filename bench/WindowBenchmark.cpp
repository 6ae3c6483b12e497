// Time from starting twig-child to the first frame of its window, against the 300 ms the window
// must appear within. The child reports its first frame on standard output when asked to.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/Benchmark.h"

namespace twig::bench {

namespace {

// Milliseconds until the child says "first frame"; negative when it never does.
double oneStart(const std::string& child, const std::filesystem::path& data) {
  int out[2];
  if (pipe(out) != 0) return -1;
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(out[1], STDOUT_FILENO);
    close(out[0]);
    close(out[1]);
    setenv("TWIG_FIRST_FRAME_REPORT", "1", 1);
    const std::string dataDir = data.string();
    // A service nobody answers: the window shows its first screen all the same.
    execl(child.c_str(), child.c_str(), "--service-host", "127.0.0.1:9", "--data-dir", dataDir.c_str(),
          static_cast<char*>(nullptr));
    _exit(127);
  }
  close(out[1]);
  std::string seen;
  char buffer[256];
  double elapsed = -1;
  for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;) {
    seen.append(buffer, static_cast<std::size_t>(n));
    if (seen.find("first frame") != std::string::npos) {
      elapsed = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
      break;
    }
  }
  close(out[0]);
  kill(pid, SIGTERM);
  int status = 0;
  waitpid(pid, &status, 0);
  return elapsed;
}

}  // namespace

int windowBenchmark(const std::string& child, int runs, const std::filesystem::path& folder) {
  if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
    // No display: the offscreen platform draws the same window without one.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("DISPLAY", ":offscreen", 1);
  }
  std::filesystem::remove_all(folder);
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const double ms = oneStart(child, folder / std::to_string(i));
    if (ms < 0) {
      std::printf("run %d: the child never drew a frame\n", i);
      return 1;
    }
    times.push_back(ms);
  }
  std::sort(times.begin(), times.end());
  const double median = times[times.size() / 2];
  std::printf(
      "first frame after start, %d runs (platform %s): median %.0f ms, fastest %.0f ms, slowest %.0f ms;"
      " target 300 ms: %s\n",
      runs, std::getenv("QT_QPA_PLATFORM") ? std::getenv("QT_QPA_PLATFORM") : "default", median,
      times.front(), times.back(), median <= 300 ? "met" : "missed");
  std::filesystem::remove_all(folder);
  return 0;
}

}  // namespace twig::bench
