#include <CLI/CLI.hpp>

#include "bench/Benchmark.h"

int main(int argc, char** argv) {
  CLI::App app("twig-bench: the agent's benchmarks");
  app.require_subcommand(1);
  long long count = 100000;
  auto* sign = app.add_subcommand("sign", "sign requests and report signatures per second");
  sign->add_option("--count", count, "how many requests to sign")->check(CLI::PositiveNumber);
  long long writes = 2000;
  std::string folder = (std::filesystem::temp_directory_path() / "twig-bench").string();
  auto* cache = app.add_subcommand("cache", "object-cache writes and reads against the file-system floor");
  cache->add_option("--writes", writes, "how many writes (reads are 50 times as many)")
      ->check(CLI::PositiveNumber);
  cache->add_option("--dir", folder, "scratch folder (on the disk to measure)");
  int port = 0;
  long long answers = 2000;
  auto* publish =
      app.add_subcommand("publish", "answers through the push channel against a bare libmosquitto publisher");
  publish->add_option("--mqtt-port", port, "port of a broker on 127.0.0.1 that knows the user qomri")
      ->required()
      ->check(CLI::Range(1, 65535));
  publish->add_option("--count", answers, "how many answers")->check(CLI::PositiveNumber);
  publish->add_option("--dir", folder, "scratch folder");
  int roundTrips = 2000;
  auto* roundtrip = app.add_subcommand(
      "roundtrip", "RequestChildInfo round trips through a broker against a bare echo client");
  roundtrip->add_option("--mqtt-port", port, "port of a broker on 127.0.0.1 that knows the user qomri")
      ->required()
      ->check(CLI::Range(1, 65535));
  roundtrip->add_option("--count", roundTrips, "how many commands")->check(CLI::PositiveNumber);
  roundtrip->add_option("--dir", folder, "scratch folder");
  int processes = 1000;
  int apps = 300;
  int groups = 10;
  int ticks = 500;
  auto* evaluate =
      app.add_subcommand("evaluate", "one evaluation tick against reading the process table alone");
  evaluate->add_option("--processes", processes, "processes in the table")->check(CLI::PositiveNumber);
  evaluate->add_option("--apps", apps, "controlled applications")->check(CLI::PositiveNumber);
  evaluate->add_option("--groups", groups, "control groups")->check(CLI::PositiveNumber);
  evaluate->add_option("--ticks", ticks, "how many ticks")->check(CLI::PositiveNumber);
  evaluate->add_option("--dir", folder, "scratch folder");
  int starts = 10;
  std::string child = TWIG_CHILD_PATH;
  auto* window =
      app.add_subcommand("window", "time from starting twig-child to the first frame of its window");
  window->add_option("--runs", starts, "how many starts")->check(CLI::PositiveNumber);
  window->add_option("--child", child, "the twig-child to start")->capture_default_str();
  window->add_option("--dir", folder, "scratch folder");
  twig::bench::IdleOptions idleOptions;
  idleOptions.child = TWIG_CHILD_PATH;
  idleOptions.service = TWIG_SERVICE_PATH;
  idleOptions.parent = TWIG_PARENT_PATH;
  idleOptions.floor = TWIG_FLOOR_PATH;
  int idleSeconds = 600;
  auto* idle = app.add_subcommand(
      "idle", "the bound, connected headless agent at rest: CPU, resident memory and wake-ups from /proc");
  idle->add_option("--mqtt-port", idleOptions.mqttPort,
                   "port of a broker on 127.0.0.1 that knows the user qomri")
      ->required()
      ->check(CLI::Range(1, 65535));
  idle->add_option("--seconds", idleSeconds, "how long to watch it")
      ->check(CLI::PositiveNumber)
      ->capture_default_str();
  idle->add_option("--dir", folder, "scratch folder");
  CLI11_PARSE(app, argc, argv);
  if (idle->parsed()) {
    idleOptions.span = std::chrono::seconds(idleSeconds);
    idleOptions.folder = std::filesystem::path(folder) / "idle";
    return twig::bench::idleBenchmark(idleOptions);
  }
  if (window->parsed())
    return twig::bench::windowBenchmark(child, starts, std::filesystem::path(folder) / "window");
  if (roundtrip->parsed()) {
    return twig::bench::roundTripBenchmark(static_cast<std::uint16_t>(port), roundTrips,
                                           std::filesystem::path(folder) / "roundtrip");
  }
  if (evaluate->parsed()) {
    return twig::bench::evaluationBenchmark(processes, apps, groups, ticks,
                                            std::filesystem::path(folder) / "evaluate");
  }
  if (publish->parsed()) {
    return twig::bench::publishBenchmark(static_cast<std::uint16_t>(port), answers,
                                         std::filesystem::path(folder) / "publish");
  }
  if (sign->parsed()) return twig::bench::signingBenchmark(count);
  if (cache->parsed()) return twig::bench::cacheBenchmark(writes, folder);
  return 2;
}
