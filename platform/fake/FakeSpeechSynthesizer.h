#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "platform/SpeechSynthesizer.h"

namespace twig {

// Records what it is asked to say.
class FakeSpeechSynthesizer final : public SpeechSynthesizer {
 public:
  struct Utterance {
    std::string text;
    std::string language;
    double rate = 0;
  };
  void speak(const std::string& text, const std::string& language, double rate) override {
    std::lock_guard lock(mutex_);
    spoken_.push_back({text, language, rate});
  }
  std::vector<Utterance> spoken() const {
    std::lock_guard lock(mutex_);
    return spoken_;
  }
  void clear() {
    std::lock_guard lock(mutex_);
    spoken_.clear();
  }
  std::vector<std::string> texts() const {
    std::vector<std::string> all;
    for (const auto& utterance : spoken()) all.push_back(utterance.text);
    return all;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<Utterance> spoken_;
};

}  // namespace twig
