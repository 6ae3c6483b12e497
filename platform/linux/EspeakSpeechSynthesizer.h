#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/SerialQueue.h"
#include "platform/SpeechSynthesizer.h"

namespace twig {

// Speech with espeak-ng, played through its own audio output (PulseAudio, PipeWire's Pulse server
// or ALSA). espeak-ng keeps one state per process, so a process has one synthesiser, and its work
// runs on a thread of its own: a warning is spoken while the main loop goes on.
class EspeakSpeechSynthesizer final : public SpeechSynthesizer {
 public:
  // A synthesiser that speaks, or a silent one that says once why not (no audio device here).
  static std::unique_ptr<SpeechSynthesizer> forThisMachine();

  EspeakSpeechSynthesizer() = default;
  ~EspeakSpeechSynthesizer() override;
  EspeakSpeechSynthesizer(const EspeakSpeechSynthesizer&) = delete;
  EspeakSpeechSynthesizer& operator=(const EspeakSpeechSynthesizer&) = delete;

  void speak(const std::string& text, const std::string& language, double rate) override;

  struct Audio {
    int sampleRate = 0;
    std::vector<short> samples;  // 16-bit mono
  };
  // The voice's samples for `text`, made without playing them; nothing when the voice is missing.
  // espeak-ng runs in one mode per process: a process that has spoken aloud cannot use this, and
  // one that used this cannot speak aloud.
  static std::optional<Audio> synthesize(const std::string& text, const std::string& language, double rate);

  // espeak-ng's voice for a language: "zh_CN" → "cmn" (Mandarin), otherwise the language part.
  static std::string voiceFor(const std::string& language);
  // Words per minute for an utterance rate: 0 → 80, 0.5 → 175 (espeak-ng's normal pace), 1 → 400.
  static int wordsPerMinute(double rate);
  // Whether a sound server or a sound card is there to play to.
  static bool hasAudioOutput();

 private:
  // Worker thread only.
  bool ready(const std::string& voice);
  bool broken_ = false;
  std::string voice_;
  SerialQueue queue_{"twig-speech"};
};

}  // namespace twig
