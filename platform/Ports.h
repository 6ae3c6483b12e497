#pragma once

namespace twig {

class Analytics;
class AudioPlayer;
class ApplicationShell;
class BackgroundPool;
class Camera;
class Clock;
class DeviceFacts;
class DeviceState;
class ImageCodec;
class ImageDownloadCache;
class InstalledApplications;
class LocationService;
class Directories;
class Keychain;
class MainLoop;
class NotificationCenter;
class PhotoLibrary;
class ProcessTable;
class SpeechSynthesizer;
class Reachability;
class UrlOpener;
class UserDefaults;
struct DeploymentSettings;

// The process's set of platform ports. The executable (or a test) installs it once at start-up,
// before any other thread exists; the process-wide objects of the core take their ports from here.
// The installer keeps the implementations alive.
struct Ports {
  MainLoop* mainLoop = nullptr;
  Clock* clock = nullptr;
  NotificationCenter* notifications = nullptr;
  DeviceFacts* device = nullptr;
  Keychain* keychain = nullptr;
  UserDefaults* userDefaults = nullptr;
  Directories* directories = nullptr;
  Reachability* reachability = nullptr;
  BackgroundPool* backgroundPool = nullptr;
  ImageDownloadCache* imageCache = nullptr;
  Analytics* analytics = nullptr;
  UrlOpener* urlOpener = nullptr;
  ApplicationShell* applicationShell = nullptr;
  ProcessTable* processTable = nullptr;
  DeviceState* deviceState = nullptr;
  AudioPlayer* audioPlayer = nullptr;
  LocationService* locationService = nullptr;
  SpeechSynthesizer* speechSynthesizer = nullptr;
  InstalledApplications* installedApplications = nullptr;
  ImageCodec* imageCodec = nullptr;
  PhotoLibrary* photoLibrary = nullptr;
  Camera* camera = nullptr;
  const DeploymentSettings* settings = nullptr;

  static void install(const Ports& ports);
  static const Ports& current();
};

// The installed ports. Each stops the process with a clear message when its port was not
// installed: that is a wiring fault of the executable, not something to limp on with.
namespace port {
MainLoop& mainLoop();
Clock& clock();
NotificationCenter& notifications();
DeviceFacts& device();
Keychain& keychain();
UserDefaults& userDefaults();
Directories& directories();
Reachability& reachability();
BackgroundPool& backgroundPool();
ImageDownloadCache& imageCache();
Analytics& analytics();
UrlOpener& urlOpener();
ApplicationShell& applicationShell();
ProcessTable& processTable();
DeviceState& deviceState();
AudioPlayer& audioPlayer();
LocationService& locationService();
SpeechSynthesizer& speechSynthesizer();
InstalledApplications& installedApplications();
ImageCodec& imageCodec();
PhotoLibrary& photoLibrary();
Camera& camera();
const DeploymentSettings& settings();
}  // namespace port

}  // namespace twig
