#pragma once

#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/UrlOpener.h"

namespace twig {

// Records opened links; a test decides which schemes are installed.
class FakeUrlOpener final : public UrlOpener {
 public:
  bool openURL(const std::string& url) override {
    std::lock_guard lock(mutex_);
    opened_.push_back(url);
    return true;
  }
  bool canOpenURL(const std::string& url) override {
    std::lock_guard lock(mutex_);
    ++questions_;
    return installed_.count(url.substr(0, url.find(':') + 1)) > 0;
  }
  // How often canOpenURL was asked.
  int questions() const {
    std::lock_guard lock(mutex_);
    return questions_;
  }
  // `scheme` with its colon, e.g. "children-launcher:".
  void install(const std::string& scheme) {
    std::lock_guard lock(mutex_);
    installed_.insert(scheme);
  }
  void uninstall(const std::string& scheme) {
    std::lock_guard lock(mutex_);
    installed_.erase(scheme);
  }
  std::vector<std::string> opened() const {
    std::lock_guard lock(mutex_);
    return opened_;
  }

 private:
  mutable std::mutex mutex_;
  std::set<std::string> installed_;
  std::vector<std::string> opened_;
  int questions_ = 0;
};

}  // namespace twig
