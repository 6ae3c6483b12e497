#pragma once

#include <map>
#include <mutex>

#include "platform/Keychain.h"

namespace twig {

// A keychain in memory; a test can make reads or writes fail.
class MemoryKeychain final : public Keychain {
 public:
  std::optional<std::string> read(std::string_view service, std::string_view account) override;
  bool write(std::string_view service, std::string_view account, std::string_view value) override;
  bool remove(std::string_view service, std::string_view account) override;

  void failReads(bool fail);
  void failWrites(bool fail);
  int writeCount() const;

 private:
  mutable std::mutex mutex_;
  std::map<std::pair<std::string, std::string>, std::string> entries_;
  bool failReads_ = false;
  bool failWrites_ = false;
  int writes_ = 0;
};

}  // namespace twig
