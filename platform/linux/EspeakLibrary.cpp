#include "platform/linux/EspeakLibrary.h"

#include <dlfcn.h>

#include <mutex>

namespace twig {

namespace {

std::string loadError;  // written once, under the once flag

template <typename Function>
bool find(void* handle, const char* name, Function& function) {
  function = reinterpret_cast<Function>(dlsym(handle, name));
  if (function == nullptr) loadError = std::string("no ") + name + " in " + TWIG_ESPEAK_LIBRARY;
  return function != nullptr;
}

const EspeakLibrary* load() {
  // Never unloaded: espeak-ng keeps one state for the process's whole life.
  void* handle = dlopen(TWIG_ESPEAK_LIBRARY, RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* reason = dlerror();
    loadError = reason != nullptr ? reason : "cannot load " TWIG_ESPEAK_LIBRARY;
    return nullptr;
  }
  static EspeakLibrary library;
  const bool complete = find(handle, "espeak_Initialize", library.initialize) &&
                        find(handle, "espeak_Synth", library.synth) &&
                        find(handle, "espeak_SetParameter", library.setParameter) &&
                        find(handle, "espeak_SetVoiceByName", library.setVoiceByName) &&
                        find(handle, "espeak_SetSynthCallback", library.setSynthCallback) &&
                        find(handle, "espeak_ng_GetSampleRate", library.sampleRate);
  return complete ? &library : nullptr;
}

std::once_flag once;
const EspeakLibrary* loaded = nullptr;

}  // namespace

const EspeakLibrary* EspeakLibrary::get() {
  std::call_once(once, [] { loaded = load(); });
  return loaded;
}

std::string EspeakLibrary::error() {
  get();
  return loadError;
}

}  // namespace twig
