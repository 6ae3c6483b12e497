#pragma once

#include <functional>
#include <string>

#include "platform/SpeechSynthesizer.h"

namespace twig {

// The headless agent's voice: every text becomes a line ("speak 管控时间：…"), so that whoever
// follows the console hears of it, and then goes to the machine's own voice.
class ConsoleSpeechSynthesizer final : public SpeechSynthesizer {
 public:
  ConsoleSpeechSynthesizer(std::function<void(const std::string&)> print, SpeechSynthesizer& voice)
      : print_(std::move(print)), voice_(voice) {}
  void speak(const std::string& text, const std::string& language, double rate) override {
    print_("speak " + text);
    voice_.speak(text, language, rate);
  }

 private:
  std::function<void(const std::string&)> print_;
  SpeechSynthesizer& voice_;
};

}  // namespace twig
