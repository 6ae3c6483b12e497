#include "platform/linux/FreedesktopNotifier.h"

namespace twig {

namespace {
constexpr std::uint64_t kCallTimeoutUs = 5'000'000;
constexpr int kShownForMs = 10'000;
}  // namespace

FreedesktopNotifier::FreedesktopNotifier(std::string busAddress, std::string applicationName)
    : busAddress_(std::move(busAddress)), applicationName_(std::move(applicationName)) {}

bool FreedesktopNotifier::notify(const std::string& summary, const std::string& body) {
  std::lock_guard lock(mutex_);
  if (!bus_) {
    const std::string address = busAddress_.empty() ? sdbus::sessionBusAddress() : busAddress_;
    if (address.empty()) return false;
    bus_ = sdbus::connect(address);
    if (!bus_) return false;
    sd_bus_set_method_call_timeout(bus_.get(), kCallTimeoutUs);
  }
  sdbus::CallError failure;
  sd_bus_message* raw = nullptr;
  // Notify(app_name, replaces_id, app_icon, summary, body, actions, hints, expire_timeout) → id
  const int result = sd_bus_call_method(
      bus_.get(), "org.freedesktop.Notifications", "/org/freedesktop/Notifications",
      "org.freedesktop.Notifications", "Notify", &failure.error, &raw, "susssasa{sv}i",
      applicationName_.c_str(), 0u, "twig-child", summary.c_str(), body.c_str(), 0, 0, kShownForMs);
  sdbus::Message reply(raw);
  if (result < 0) {
    bus_.reset();  // reached again with the next notice
    return false;
  }
  return true;
}

}  // namespace twig
