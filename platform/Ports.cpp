#include "platform/Ports.h"

#include <cstdio>
#include <cstdlib>

namespace twig {

namespace {

Ports installed;

template <class T>
T& require(T* port, const char* name) {
  if (port == nullptr) {
    std::fprintf(stderr, "twig: the %s port is used before it was installed\n", name);
    std::abort();
  }
  return *port;
}

}  // namespace

void Ports::install(const Ports& ports) {
  installed = ports;
}
const Ports& Ports::current() {
  return installed;
}

namespace port {
MainLoop& mainLoop() {
  return require(installed.mainLoop, "main loop");
}
Clock& clock() {
  return require(installed.clock, "clock");
}
NotificationCenter& notifications() {
  return require(installed.notifications, "notification centre");
}
DeviceFacts& device() {
  return require(installed.device, "device facts");
}
Keychain& keychain() {
  return require(installed.keychain, "keychain");
}
UserDefaults& userDefaults() {
  return require(installed.userDefaults, "user defaults");
}
Directories& directories() {
  return require(installed.directories, "directories");
}
Reachability& reachability() {
  return require(installed.reachability, "reachability");
}
BackgroundPool& backgroundPool() {
  return require(installed.backgroundPool, "background pool");
}
ImageDownloadCache& imageCache() {
  return require(installed.imageCache, "image download cache");
}
Analytics& analytics() {
  return require(installed.analytics, "analytics");
}
UrlOpener& urlOpener() {
  return require(installed.urlOpener, "URL opener");
}
ApplicationShell& applicationShell() {
  return require(installed.applicationShell, "application shell");
}
ProcessTable& processTable() {
  return require(installed.processTable, "process table");
}
DeviceState& deviceState() {
  return require(installed.deviceState, "device state");
}
AudioPlayer& audioPlayer() {
  return require(installed.audioPlayer, "audio player");
}
LocationService& locationService() {
  return require(installed.locationService, "location service");
}
SpeechSynthesizer& speechSynthesizer() {
  return require(installed.speechSynthesizer, "speech");
}
InstalledApplications& installedApplications() {
  return require(installed.installedApplications, "installed applications");
}
ImageCodec& imageCodec() {
  return require(installed.imageCodec, "image codec");
}
PhotoLibrary& photoLibrary() {
  return require(installed.photoLibrary, "photo library");
}
Camera& camera() {
  return require(installed.camera, "camera");
}
const DeploymentSettings& settings() {
  return require(installed.settings, "deployment settings");
}
}  // namespace port

}  // namespace twig
