#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

namespace twig::bench {

// Wall time of a block, reported as operations per second.
class Stopwatch {
 public:
  Stopwatch() : start_(std::chrono::steady_clock::now()) {}
  double seconds() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  }

 private:
  std::chrono::steady_clock::time_point start_;
};

inline void report(const std::string& what, long long operations, double seconds) {
  std::printf("%-40s %10lld ops in %8.3f s = %12.0f ops/s (%.3f us/op)\n", what.c_str(), operations, seconds,
              operations / seconds, seconds * 1e6 / static_cast<double>(operations));
}

int signingBenchmark(long long count);
int cacheBenchmark(long long writes, const std::filesystem::path& folder);
int publishBenchmark(std::uint16_t port, long long count, const std::filesystem::path& folder);
int roundTripBenchmark(std::uint16_t port, int count, const std::filesystem::path& folder);
int windowBenchmark(const std::string& child, int runs, const std::filesystem::path& folder);
struct IdleOptions {
  std::uint16_t mqttPort = 0;
  std::string child;
  std::string service;
  std::string parent;
  std::string floor;  // twig-library-floor
  std::chrono::seconds span{600};
  std::chrono::seconds settle{30};
  std::filesystem::path folder;
};
int idleBenchmark(const IdleOptions& options);
int evaluationBenchmark(int processes, int apps, int groups, int ticks, const std::filesystem::path& folder);

}  // namespace twig::bench
