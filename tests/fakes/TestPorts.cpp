#include "tests/fakes/TestPorts.h"

#include "storage/OAKCache.h"

namespace twig::test {

TestPorts::TestPorts() : directories(dir / "app") {
  settings.serviceHost = "127.0.0.1:9";
  settings.dataRoot = dir.path();
  Ports ports;
  ports.mainLoop = &time.loop();
  ports.clock = &time.clock();
  ports.notifications = &notifications;
  ports.device = &device;
  ports.keychain = &keychain;
  ports.userDefaults = &userDefaults;
  ports.directories = &directories;
  ports.reachability = &reachability;
  ports.imageCache = &imageCache;
  ports.settings = &settings;
  Ports::install(ports);
}

TestPorts::~TestPorts() {
  OAKCache::resetSharedGlobalCacheForTesting();
  Ports::install(Ports{});
}

}  // namespace twig::test
