#pragma once

#include <string>

namespace twig {

// Sound for keeping the application alive in the background.
class AudioPlayer {
 public:
  virtual ~AudioPlayer() = default;
  // Plays the bundled sound `resource` in an endless loop (again if it already plays).
  virtual void playLooping(const std::string& resource) = 0;
};

}  // namespace twig
