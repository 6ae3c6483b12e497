#include "tests/fakes/TestPorts.h"

namespace twig::test {

TestPorts::TestPorts()
    : directories(dir / "app"),
      photos(dir / "Pictures", codec),
      set_(Ports{.mainLoop = time.loop(),
                 .clock = time.clock(),
                 .notifications = notifications,
                 .device = device,
                 .keychain = keychain,
                 .userDefaults = userDefaults,
                 .directories = directories,
                 .reachability = reachability,
                 .backgroundPool = pool,
                 .imageCache = imageCache,
                 .analytics = analytics,
                 .urlOpener = urls,
                 .applicationShell = shell,
                 .processTable = processes,
                 .deviceState = deviceState,
                 .audioPlayer = audio,
                 .locationService = location,
                 .speechSynthesizer = speech,
                 .installedApplications = installed,
                 .imageCodec = codec,
                 .photoLibrary = photos,
                 .camera = camera,
                 .settings = settings}) {
  screenHost.setAnalytics(&analytics);  // as the agent names it
  settings.serviceHost = "127.0.0.1:9";
  settings.dataRoot = dir.path();
  settings.installManifestUrl = "http://127.0.0.1:9/install/children/manifest.plist";
  settings.launcherManifestUrl = "http://127.0.0.1:9/install/launcher/manifest.plist";
}

TestPorts::~TestPorts() = default;

Ports TestPorts::withClock(Clock& clock) const {
  const Ports& p = set_;
  return Ports{.mainLoop = p.mainLoop,
               .clock = clock,
               .notifications = p.notifications,
               .device = p.device,
               .keychain = p.keychain,
               .userDefaults = p.userDefaults,
               .directories = p.directories,
               .reachability = p.reachability,
               .backgroundPool = p.backgroundPool,
               .imageCache = p.imageCache,
               .analytics = p.analytics,
               .urlOpener = p.urlOpener,
               .applicationShell = p.applicationShell,
               .processTable = p.processTable,
               .deviceState = p.deviceState,
               .audioPlayer = p.audioPlayer,
               .locationService = p.locationService,
               .speechSynthesizer = p.speechSynthesizer,
               .installedApplications = p.installedApplications,
               .imageCodec = p.imageCodec,
               .photoLibrary = p.photoLibrary,
               .camera = p.camera,
               .settings = p.settings};
}

Agent& TestPorts::agent() {
  return agent(screenHost);
}

Agent& TestPorts::agent(StackScreenHost& host) {
  if (!agent_) agent_.emplace(set_, host, agentOptions);
  return *agent_;
}

ControlTools TestPorts::controlTools(std::function<void()> rebuild) {
  return ControlTools{agent().inventory(), agent().cache(), agent().tables(), std::move(rebuild)};
}

Command command(const Json& payload) {
  auto decoded = Command::fromPayload(payload);
  return decoded ? *decoded : Command{};
}

}  // namespace twig::test
