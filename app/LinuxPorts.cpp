#include "app/LinuxPorts.h"

#include <filesystem>

#include "app/ConsoleSpeechSynthesizer.h"
#include "platform/BackgroundPool.h"
#include "platform/DeploymentSettings.h"
#include "platform/InstalledApplications.h"
#include "platform/MirroredKeychain.h"
#include "platform/NotificationCenter.h"
#include "platform/linux/DataDirectories.h"
#include "platform/linux/DesktopApplicationShell.h"
#include "platform/linux/DesktopEntryApplications.h"
#include "platform/linux/DirectoryImageCache.h"
#include "platform/linux/EspeakSpeechSynthesizer.h"
#include "platform/linux/FileKeychain.h"
#include "platform/linux/FileUserDefaults.h"
#include "platform/linux/FolderPhotoLibrary.h"
#include "platform/linux/FreedesktopNotifier.h"
#include "platform/linux/GpsdLocationService.h"
#include "platform/linux/JsonFileInstalledApplications.h"
#include "platform/linux/LinuxDeviceFacts.h"
#include "platform/linux/LinuxDeviceState.h"
#include "platform/linux/LinuxUrlOpener.h"
#include "platform/linux/NetlinkReachability.h"
#include "platform/linux/NoCamera.h"
#include "platform/linux/NullAnalytics.h"
#include "platform/linux/NullAudioPlayer.h"
#include "platform/linux/PixbufImageCodec.h"
#include "platform/linux/ProcProcessTable.h"
#include "platform/linux/SecretServiceKeychain.h"

namespace twig {

namespace {

LinuxDeviceFacts::Options deviceOptions(const DeploymentSettings& settings, double screenHeightPoints) {
  LinuxDeviceFacts::Options options;
  options.applicationFolder = settings.applicationFolder();
  options.deviceFolder = settings.deviceFolder();
  options.screenHeightPoints = screenHeightPoints;
  return options;
}

LinuxDeviceState::Options stateOptions() {
  LinuxDeviceState::Options options;
  options.sessionId = LinuxDeviceState::currentSessionId();
  return options;
}

}  // namespace

// Declared in the order they depend on one another; destroyed in reverse.
struct LinuxPorts::Parts {
  Parts(const DeploymentSettings& settings, const Options& options, MainLoop& loop)
      : device(deviceOptions(settings, options.screenHeightPoints)),
        fileKeychain(settings.keychainFolder()),
        keyring(settings.sessionKeyring ? SecretServiceKeychain::connect() : nullptr),
        directories(settings.applicationFolder()),
        userDefaults(directories.preferences() / (device.bundleIdentifier() + ".json")),
        reachability(settings.serviceHostName()),
        pictures(directories.caches() / device.processName() / "ImageDownloads"),
        deviceState(loop, stateOptions()),
        voice(EspeakSpeechSynthesizer::forThisMachine()),
        speech(
            [announce = options.announce](const std::string& line) {
              if (announce) announce(line);
            },
            *voice),
        photos(options.picturesFolder ? std::filesystem::path(*options.picturesFolder)
                                      : FolderPhotoLibrary::picturesFolder(),
               codec) {
    if (keyring) mirroredKeychain.emplace(*keyring, fileKeychain);
    if (options.installedAppsFile) listedApplications.emplace(*options.installedAppsFile);
    if (options.announce)
      urls.setAnnouncer([announce = options.announce](const std::string& url) { announce("url " + url); });
  }

  NotificationCenter notifications;
  LinuxDeviceFacts device;
  FileKeychain fileKeychain;
  std::unique_ptr<SecretServiceKeychain> keyring;  // null without a running session keyring
  std::optional<MirroredKeychain> mirroredKeychain;
  DataDirectories directories;
  FileUserDefaults userDefaults;
  NetlinkReachability reachability;
  DirectoryImageCache pictures;
  NullAnalytics analytics;
  LinuxUrlOpener urls;
  DesktopApplicationShell shell;
  ProcProcessTable processes;
  LinuxDeviceState deviceState;
  NullAudioPlayer audio;
  GpsdLocationService location;
  std::unique_ptr<SpeechSynthesizer> voice;
  ConsoleSpeechSynthesizer speech;
  DesktopEntryApplications desktopApplications{DesktopEntryApplications::forThisUser()};
  std::optional<JsonFileInstalledApplications> listedApplications;
  PixbufImageCodec codec;
  FolderPhotoLibrary photos;
  NoCamera camera;
  FreedesktopNotifier desktopNotifier;
  // Last, so that it is the first to go: it finishes its work, which may still read the photos.
  BackgroundPool pool{2, "twig-pool"};
};

LinuxPorts::LinuxPorts(const DeploymentSettings& settings, const Options& options, Clock& clock,
                       MainLoop& loop)
    : parts_(std::make_unique<Parts>(settings, options, loop)),
      ports_(Ports{
          .mainLoop = loop,
          .clock = clock,
          .notifications = parts_->notifications,
          .device = parts_->device,
          .keychain = *(parts_->mirroredKeychain ? static_cast<Keychain*>(&*parts_->mirroredKeychain)
                                                 : &parts_->fileKeychain),
          .userDefaults = parts_->userDefaults,
          .directories = parts_->directories,
          .reachability = parts_->reachability,
          .backgroundPool = parts_->pool,
          .imageCache = parts_->pictures,
          .analytics = parts_->analytics,
          .urlOpener = parts_->urls,
          .applicationShell = parts_->shell,
          .processTable = parts_->processes,
          .deviceState = parts_->deviceState,
          .audioPlayer = parts_->audio,
          .locationService = parts_->location,
          .speechSynthesizer = parts_->speech,
          .installedApplications =
              *(parts_->listedApplications ? static_cast<InstalledApplications*>(&*parts_->listedApplications)
                                           : &parts_->desktopApplications),
          .imageCodec = parts_->codec,
          .photoLibrary = parts_->photos,
          .camera = parts_->camera,
          .settings = settings}) {}

LinuxPorts::~LinuxPorts() = default;

DesktopNotifier& LinuxPorts::desktopNotifier() {
  return parts_->desktopNotifier;
}

ProcessControl& LinuxPorts::processControl() {
  return parts_->processes;
}

NotificationCenter& LinuxPorts::notifications() {
  return parts_->notifications;
}

}  // namespace twig
