#pragma once

#include "platform/AudioPlayer.h"

namespace twig {

// A Linux process is not suspended in the background, so no sound is needed to keep it alive.
class NullAudioPlayer final : public AudioPlayer {
 public:
  void playLooping(const std::string&) override {}
};

}  // namespace twig
