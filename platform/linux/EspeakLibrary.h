#pragma once

#include <espeak-ng/espeak_ng.h>
#include <espeak-ng/speak_lib.h>

#include <string>

namespace twig {

// espeak-ng, loaded on first use rather than at start: with it come the sound stack's libraries
// (PulseAudio, ALSA, sound file codecs, X11 for the sound server), a few megabytes that an agent
// which never has to speak a warning does not need in memory.
class EspeakLibrary {
 public:
  // The loaded library, or null when it cannot be loaded (then `error()` says why). Thread-safe.
  static const EspeakLibrary* get();
  static std::string error();

  decltype(&espeak_Initialize) initialize = nullptr;
  decltype(&espeak_Synth) synth = nullptr;
  decltype(&espeak_SetParameter) setParameter = nullptr;
  decltype(&espeak_SetVoiceByName) setVoiceByName = nullptr;
  decltype(&espeak_SetSynthCallback) setSynthCallback = nullptr;
  decltype(&espeak_ng_GetSampleRate) sampleRate = nullptr;
};

}  // namespace twig
