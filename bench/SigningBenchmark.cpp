#include <string>

#include "api/ApiClient.h"
#include "api/RequestSigner.h"
#include "api/Utils.h"
#include "bench/Benchmark.h"
#include "platform/SystemClock.h"

namespace twig::bench {

// Everything a request pays for its signature: time stamp, signed text, HMAC, Base64, headers.
int signingBenchmark(long long count) {
  SystemClock clock;
  std::size_t checksum = 0;
  const std::string paths[] = {"config", "device/enroll", "push/messages",
                               "apps/device/0123456789abcdef0123456789abcdef"};
  Stopwatch watch;
  for (long long i = 0; i < count; ++i) {
    const std::string& path = paths[i % 4];
    const std::string timestamp = Utils::timeToTurnTheTimestamp(clock);
    const auto headers = ApiClient::hmacWithTimeStamp(
        timestamp, RequestSigner::signature(timestamp, path, i % 2 ? "GET" : "POST"));
    checksum += headers[1].second.size();
  }
  const double seconds = watch.seconds();
  report("request signatures", count, seconds);
  return checksum == static_cast<std::size_t>(count) * 28 ? 0 : 1;
}

}  // namespace twig::bench
