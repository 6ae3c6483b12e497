#include "platform/fake/FakePorts.h"

namespace twig {

FakePorts::FakePorts(MainLoop& loop, Clock& clock, const std::filesystem::path& folder,
                     ProcessTable* processTable, std::size_t poolThreads)
    : directories(folder / "app"),
      photos(folder / "Pictures", codec),
      pool(poolThreads, "fake-ports-pool"),
      set_(Ports{.mainLoop = loop,
                 .clock = clock,
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
                 .processTable = processTable != nullptr ? *processTable : processes,
                 .deviceState = deviceState,
                 .audioPlayer = audio,
                 .locationService = location,
                 .speechSynthesizer = speech,
                 .installedApplications = installed,
                 .imageCodec = codec,
                 .photoLibrary = photos,
                 .camera = camera,
                 .settings = settings}) {
  settings.serviceHost = "127.0.0.1:9";
  settings.dataRoot = folder;
}

Ports FakePorts::withClock(Clock& clock) const {
  Ports p = set_;
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

}  // namespace twig
