#pragma once

#include "platform/AudioPlayer.h"
#include "platform/fake/CallRecorder.h"

namespace twig {

// Records "play <resource>" for each request.
class FakeAudioPlayer final : public AudioPlayer, public CallRecorder {
 public:
  void playLooping(const std::string& resource) override { record("play " + resource); }
};

}  // namespace twig
