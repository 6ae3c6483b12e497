#pragma once

#include <string>

namespace twig {

class Uuid {
 public:
  // A fresh random (version 4) UUID in canonical upper-case form, e.g.
  // "1B4E28BA-2FA1-41D2-883F-0016D3CCA427".
  static std::string randomString();
};

}  // namespace twig
