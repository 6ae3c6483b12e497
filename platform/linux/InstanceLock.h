#pragma once

#include <filesystem>

namespace twig {

// One agent per data folder: two agents with one device identity would take the broker session
// from each other again and again. Holds an advisory lock on a file in the folder while it lives;
// the system drops it when the process ends, however it ends.
class InstanceLock {
 public:
  explicit InstanceLock(const std::filesystem::path& folder);
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // False when another process holds the folder (or the lock file cannot be made).
  bool held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

}  // namespace twig
