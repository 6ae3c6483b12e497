#include "app/AgentServices.h"

namespace twig {

namespace {
AgentServices installed;
}  // namespace

void AgentServices::install(const AgentServices& services) {
  installed = services;
}
const AgentServices& AgentServices::current() {
  return installed;
}
AppControl* AgentServices::control() {
  return installed.appControl ? installed.appControl() : nullptr;
}

}  // namespace twig
