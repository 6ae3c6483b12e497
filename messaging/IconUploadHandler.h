#pragma once

#include "messaging/CommandHandler.h"

namespace twig {

// "EventIconUpload" is accepted and ignored.
class IconUploadHandler final : public CommandHandler {
 public:
  void receive(const Command&) override {}
};

}  // namespace twig
