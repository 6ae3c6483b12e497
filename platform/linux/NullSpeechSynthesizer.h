#pragma once

#include <atomic>
#include <cstdio>
#include <string>

#include "platform/SpeechSynthesizer.h"

namespace twig {

// For a machine that cannot speak (no voice, no audio device): says why once, then stays silent.
class NullSpeechSynthesizer final : public SpeechSynthesizer {
 public:
  explicit NullSpeechSynthesizer(std::string reason) : reason_(std::move(reason)) {}
  void speak(const std::string&, const std::string&, double) override {
    if (told_.exchange(true)) return;
    std::fprintf(stderr, "twig: warnings are not spoken: %s\n", reason_.c_str());
  }

 private:
  std::string reason_;
  std::atomic<bool> told_{false};
};

}  // namespace twig
