#pragma once

#include <string>

namespace twig {

// Speaks short texts aloud. speak() only queues the text and returns at once, so that the main loop
// never waits for a voice; texts are spoken one after another in the order given.
class SpeechSynthesizer {
 public:
  virtual ~SpeechSynthesizer() = default;
  // `language` as "zh_CN"; `rate` on the usual utterance scale: 0 the slowest, 0.5 a normal pace,
  // 1 the fastest.
  virtual void speak(const std::string& text, const std::string& language, double rate) = 0;
};

}  // namespace twig
