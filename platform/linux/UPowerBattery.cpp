#include "platform/linux/UPowerBattery.h"

#include "platform/linux/SdBus.h"

namespace twig {

namespace {

constexpr const char* kUPower = "org.freedesktop.UPower";
constexpr const char* kDevice = "/org/freedesktop/UPower/devices/DisplayDevice";
constexpr const char* kDeviceInterface = "org.freedesktop.UPower.Device";

struct Reading {
  bool present = false;
  double percentage = 0;
};

bool read(sd_bus* bus, Reading& reading) {
  sdbus::CallError presentError;
  int present = 0;
  if (sd_bus_get_property_trivial(bus, kUPower, kDevice, kDeviceInterface, "IsPresent", &presentError.error,
                                  'b', &present) < 0)
    return false;
  sdbus::CallError percentageError;
  double percentage = 0;
  if (sd_bus_get_property_trivial(bus, kUPower, kDevice, kDeviceInterface, "Percentage",
                                  &percentageError.error, 'd', &percentage) < 0)
    return false;
  reading.present = present != 0;
  reading.percentage = percentage;
  return true;
}

double level(const Reading& reading) {
  if (!reading.present || !(reading.percentage >= 0 && reading.percentage <= 100)) return -1;
  return reading.percentage / 100.0;
}

int onPropertiesChanged(sd_bus_message* message, void* user, sd_bus_error*) {
  // Whatever changed, the device is read again: IsPresent and Percentage come apart or together.
  *static_cast<bool*>(user) = true;
  (void)message;
  return 0;
}

}  // namespace

UPowerBattery::UPowerBattery(Listener listener, std::string busAddress, std::function<void()> ended)
    : listener_(std::move(listener)),
      busAddress_(std::move(busAddress)),
      thread_([this](int wake) { watch(wake); }, std::move(ended)) {}

UPowerBattery::~UPowerBattery() = default;

void UPowerBattery::watch(int wake) {
  sdbus::Bus bus = sdbus::connect(busAddress_);
  if (!bus) return;
  bool changed = false;
  sd_bus_slot* rawSlot = nullptr;
  if (sd_bus_add_match(bus.get(), &rawSlot, sdbus::propertiesChangedRule(kUPower, kDevice).c_str(),
                       onPropertiesChanged, &changed) < 0)
    return;
  sdbus::Slot slot(rawSlot);
  Reading reading;
  if (!read(bus.get(), reading)) return;
  following_ = true;
  double last = level(reading);
  if (listener_) listener_(last);
  sdbus::run(bus.get(), wake, [&] {
    if (!changed) return;
    changed = false;
    if (!read(bus.get(), reading) || level(reading) == last) return;
    last = level(reading);
    if (listener_) listener_(last);
  });
}

}  // namespace twig
