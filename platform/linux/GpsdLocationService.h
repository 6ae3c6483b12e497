#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/LocationService.h"

namespace twig {

// Fixes from a gpsd on this machine (its JSON protocol on TCP). Enabled only while the daemon
// answers; updates come from a thread of their own.
class GpsdLocationService final : public LocationService {
 public:
  explicit GpsdLocationService(std::string host = "127.0.0.1", std::uint16_t port = 2947,
                               std::chrono::seconds fixTimeout = std::chrono::seconds(30));
  ~GpsdLocationService() override;
  GpsdLocationService(const GpsdLocationService&) = delete;
  GpsdLocationService& operator=(const GpsdLocationService&) = delete;

  bool isEnabled() override;
  void startUpdates(Update update, Failure failure) override;
  void stopUpdates() override;

 private:
  // An eventfd shared by the service and its watcher, closed when both are done with it.
  class StopSignal;
  int connectToDaemon() const;
  void watch(int socket, const std::shared_ptr<StopSignal>& stop, const Update& update,
             const Failure& failure);

  std::string host_;
  std::uint16_t port_;
  std::chrono::seconds fixTimeout_;
  std::mutex mutex_;
  std::thread watcher_;
  std::shared_ptr<StopSignal> stop_;
};

}  // namespace twig
