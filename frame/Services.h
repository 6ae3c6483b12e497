#pragma once

namespace twig {

class ApiClient;
class ObjectCache;
class ScreenHost;
class ScreenRoutes;
class TableStore;
struct Ports;

// What the agent hands every part above the screen frame: the platform's ports, the API client,
// the object cache, the table store, the screen host and the routes that make the main screens.
// All of them are owned by the agent and outlive every part made with them; the set is copied
// freely (it holds references only), also into callbacks.
struct Services {
  const Ports& ports;
  ApiClient& api;
  ObjectCache& cache;
  TableStore& tables;
  ScreenHost& host;
  const ScreenRoutes& routes;
};

}  // namespace twig
