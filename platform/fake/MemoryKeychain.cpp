#include "platform/fake/MemoryKeychain.h"

namespace twig {

std::optional<std::string> MemoryKeychain::read(std::string_view service, std::string_view account) {
  std::lock_guard lock(mutex_);
  if (failReads_) return std::nullopt;
  auto it = entries_.find({std::string(service), std::string(account)});
  if (it == entries_.end()) return std::nullopt;
  return it->second;
}

bool MemoryKeychain::write(std::string_view service, std::string_view account, std::string_view value) {
  std::lock_guard lock(mutex_);
  ++writes_;
  if (failWrites_) return false;
  entries_[{std::string(service), std::string(account)}] = std::string(value);
  return true;
}

bool MemoryKeychain::remove(std::string_view service, std::string_view account) {
  std::lock_guard lock(mutex_);
  return entries_.erase({std::string(service), std::string(account)}) > 0;
}

void MemoryKeychain::failReads(bool fail) {
  std::lock_guard lock(mutex_);
  failReads_ = fail;
}

void MemoryKeychain::failWrites(bool fail) {
  std::lock_guard lock(mutex_);
  failWrites_ = fail;
}

int MemoryKeychain::writeCount() const {
  std::lock_guard lock(mutex_);
  return writes_;
}

}  // namespace twig
