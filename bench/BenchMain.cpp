#include <CLI/CLI.hpp>

#include "bench/Benchmark.h"

int main(int argc, char** argv) {
  CLI::App app("twig-bench: the agent's benchmarks");
  app.require_subcommand(1);
  long long count = 100000;
  auto* sign = app.add_subcommand("sign", "sign requests and report signatures per second");
  sign->add_option("--count", count, "how many requests to sign")->check(CLI::PositiveNumber);
  CLI11_PARSE(app, argc, argv);
  if (sign->parsed()) return twig::bench::signingBenchmark(count);
  return 2;
}
