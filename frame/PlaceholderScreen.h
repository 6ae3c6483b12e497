#pragma once

#include "frame/ViewModel.h"

namespace twig {

// The empty screen shown from launch until the configuration answer picks the first screen.
class PlaceholderScreen final : public ViewModel {
 public:
  PlaceholderScreen() : ViewModel("Placeholder", stateShape()) {}
  static const StateShape& stateShape() {
    static const StateShape shape{};
    return shape;
  }
};

}  // namespace twig
