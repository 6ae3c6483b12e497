#pragma once

namespace twig {

struct Ports;
class ScreenHost;

// What every front end of the agent sets up around its ports, and takes down in the right order:
// the installed ports and screen host, the push channel and app control behind AgentServices, the
// screen and command catalogues, and the tables emptied by an unbinding. Destruction stops the
// process-wide objects before the ports they use go away.
class AgentWiring {
 public:
  AgentWiring(const Ports& ports, ScreenHost& host);
  ~AgentWiring();
  AgentWiring(const AgentWiring&) = delete;
  AgentWiring& operator=(const AgentWiring&) = delete;
};

}  // namespace twig
