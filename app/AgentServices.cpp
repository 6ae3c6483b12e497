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

}  // namespace twig
