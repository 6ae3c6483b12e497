#include "platform/linux/EspeakSpeechSynthesizer.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>

#include "platform/linux/EspeakLibrary.h"
#include "platform/linux/NullSpeechSynthesizer.h"

namespace twig {

namespace {

// espeak-ng keeps one state per process, and this version hangs when it is ended and started
// again: the process starts it once, in one output mode, and leaves it to the process's end.
enum class EngineMode { None, Buffer, Playback, Broken };

std::mutex& engineMutex() {
  static std::mutex mutex;
  return mutex;
}

EngineMode engineMode = EngineMode::None;  // under engineMutex

// Starts the engine in `mode` unless it runs; false when it cannot run in that mode.
bool startEngine(EngineMode mode) {
  if (engineMode == EngineMode::None) {
    const EspeakLibrary* espeak = EspeakLibrary::get();
    const espeak_AUDIO_OUTPUT output =
        mode == EngineMode::Buffer ? AUDIO_OUTPUT_SYNCHRONOUS : AUDIO_OUTPUT_SYNCH_PLAYBACK;
    if (espeak == nullptr) {
      std::fprintf(stderr, "twig: espeak-ng cannot be loaded: %s\n", EspeakLibrary::error().c_str());
      engineMode = EngineMode::Broken;
    } else {
      engineMode = espeak->initialize(output, 0, nullptr, 0) < 0 ? EngineMode::Broken : mode;
    }
  }
  return engineMode == mode;
}

// Only once the engine runs.
const EspeakLibrary& espeak() {
  return *EspeakLibrary::get();
}

std::vector<short>* bufferTarget = nullptr;  // under engineMutex

bool speakText(const std::string& text) {
  const espeak_ERROR result =
      espeak().synth(text.c_str(), text.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, nullptr);
  return result == EE_OK;
}

}  // namespace

std::unique_ptr<SpeechSynthesizer> EspeakSpeechSynthesizer::forThisMachine() {
  if (!hasAudioOutput()) return std::make_unique<NullSpeechSynthesizer>("no sound server or sound card");
  return std::make_unique<EspeakSpeechSynthesizer>();
}

EspeakSpeechSynthesizer::~EspeakSpeechSynthesizer() {
  // What is queued is still said (the queue finishes its tasks); the engine stays for the process.
  queue_.sync([] {});
}

void EspeakSpeechSynthesizer::speak(const std::string& text, const std::string& language, double rate) {
  queue_.async([this, text, language, rate] {
    std::lock_guard lock(engineMutex());
    if (!ready(voiceFor(language))) return;
    espeak().setParameter(espeakRATE, wordsPerMinute(rate), 0);
    if (!speakText(text)) {
      broken_ = true;
      std::fprintf(stderr, "twig: warnings are not spoken: the audio output cannot be opened\n");
    }
  });
}

bool EspeakSpeechSynthesizer::ready(const std::string& voice) {
  if (broken_) return false;
  // Synchronous playback on this thread: a call returns once its text has been spoken.
  if (!startEngine(EngineMode::Playback)) {
    broken_ = true;
    std::fprintf(stderr,
                 "twig: warnings are not spoken: espeak-ng cannot start (is espeak-ng-data installed?)\n");
    return false;
  }
  if (voice_ != voice) {
    if (espeak().setVoiceByName(voice.c_str()) != EE_OK) {
      std::fprintf(stderr, "twig: no espeak-ng voice \"%s\"; that text is not spoken\n", voice.c_str());
      return false;
    }
    voice_ = voice;
  }
  return true;
}

std::optional<EspeakSpeechSynthesizer::Audio> EspeakSpeechSynthesizer::synthesize(const std::string& text,
                                                                                  const std::string& language,
                                                                                  double rate) {
  std::lock_guard lock(engineMutex());
  if (!startEngine(EngineMode::Buffer)) return std::nullopt;
  Audio audio;
  audio.sampleRate = espeak().sampleRate();
  // The callback has no pointer of its own: the samples go to the one synthesis in progress, which
  // the engine's lock makes this one.
  bufferTarget = &audio.samples;
  espeak().setSynthCallback([](short* samples, int count, espeak_EVENT*) {
    if (samples != nullptr && count > 0 && bufferTarget != nullptr)
      bufferTarget->insert(bufferTarget->end(), samples, samples + count);
    return 0;
  });
  const bool voiced = espeak().setVoiceByName(voiceFor(language).c_str()) == EE_OK;
  if (voiced) espeak().setParameter(espeakRATE, wordsPerMinute(rate), 0);
  const bool spoken = voiced && speakText(text);
  bufferTarget = nullptr;
  if (!spoken) return std::nullopt;
  return audio;
}

std::string EspeakSpeechSynthesizer::voiceFor(const std::string& language) {
  if (language == "zh_CN" || language == "zh-CN" || language == "zh") return "cmn";
  const auto separator = language.find_first_of("_-");
  return language.substr(0, separator);
}

int EspeakSpeechSynthesizer::wordsPerMinute(double rate) {
  const double clamped = std::clamp(rate, 0.0, 1.0);
  // Two straight pieces through espeak-ng's normal 175 at the scale's normal 0.5.
  const double words =
      clamped <= 0.5 ? 80 + clamped / 0.5 * (175 - 80) : 175 + (clamped - 0.5) / 0.5 * (400 - 175);
  return static_cast<int>(words + 0.5);
}

bool EspeakSpeechSynthesizer::hasAudioOutput() {
  namespace fs = std::filesystem;
  std::error_code error;
  if (const char* server = std::getenv("PULSE_SERVER"); server != nullptr && *server != '\0') return true;
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime != '\0') {
    if (fs::exists(fs::path(runtime) / "pulse" / "native", error)) return true;
  }
  // A playback device of ALSA: /dev/snd/pcmC<card>D<device>p.
  for (const auto& entry : fs::directory_iterator("/dev/snd", error)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("pcm", 0) == 0 && !name.empty() && name.back() == 'p') return true;
  }
  return false;
}

}  // namespace twig
