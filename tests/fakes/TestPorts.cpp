#include "tests/fakes/TestPorts.h"

#include "app/SharedObjects.h"

namespace twig::test {

TestPorts::TestPorts() : directories(dir / "app"), photos(dir / "Pictures", codec) {
  settings.serviceHost = "127.0.0.1:9";
  settings.dataRoot = dir.path();
  settings.installManifestUrl = "http://127.0.0.1:9/install/children/manifest.plist";
  settings.launcherManifestUrl = "http://127.0.0.1:9/install/launcher/manifest.plist";
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
  ports.analytics = &analytics;
  ports.urlOpener = &urls;
  ports.applicationShell = &shell;
  ports.backgroundPool = &pool;
  ports.processTable = &processes;
  ports.deviceState = &deviceState;
  ports.audioPlayer = &audio;
  ports.locationService = &location;
  ports.speechSynthesizer = &speech;
  ports.installedApplications = &installed;
  ports.imageCodec = &codec;
  ports.photoLibrary = &photos;
  ports.camera = &camera;
  ports.settings = &settings;
  Ports::install(ports);
  ScreenHost::install(&screenHost);
}

TestPorts::~TestPorts() {
  SharedObjects::shutdown();
  ScreenHost::install(nullptr);
  Ports::install(Ports{});
}

}  // namespace twig::test
