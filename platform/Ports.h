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

// The platform ports of one agent. The executable (or a test, or a benchmark) makes the
// implementations, keeps them alive and hands this set by reference to the agent it assembles; no
// part of the core reaches for a port it was not handed.
struct Ports {
  MainLoop& mainLoop;
  Clock& clock;
  NotificationCenter& notifications;
  DeviceFacts& device;
  Keychain& keychain;
  UserDefaults& userDefaults;
  Directories& directories;
  Reachability& reachability;
  BackgroundPool& backgroundPool;
  ImageDownloadCache& imageCache;
  Analytics& analytics;
  UrlOpener& urlOpener;
  ApplicationShell& applicationShell;
  ProcessTable& processTable;
  DeviceState& deviceState;
  AudioPlayer& audioPlayer;
  LocationService& locationService;
  SpeechSynthesizer& speechSynthesizer;
  InstalledApplications& installedApplications;
  ImageCodec& imageCodec;
  PhotoLibrary& photoLibrary;
  Camera& camera;
  const DeploymentSettings& settings;
};

}  // namespace twig
