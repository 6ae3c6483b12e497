#include "platform/linux/SecretServiceKeychain.h"

#include <cstring>

#include "platform/linux/SdBus.h"

namespace twig {

namespace {

constexpr const char* kBusName = "org.freedesktop.secrets";
constexpr const char* kServicePath = "/org/freedesktop/secrets";
constexpr const char* kServiceInterface = "org.freedesktop.Secret.Service";
constexpr const char* kCollectionInterface = "org.freedesktop.Secret.Collection";
constexpr const char* kItemInterface = "org.freedesktop.Secret.Item";
// Entries carry the schema attribute libsecret's applications use, so keyring managers show them
// as ours and nobody else's search finds them.
constexpr const char* kSchema = "com.orvane.tessel.children.Keychain";
// A keyring that does not answer within this is treated as absent.
constexpr std::uint64_t kCallTimeoutUs = 5'000'000;

// Appends the attributes that name one entry (a{ss}).
int appendAttributes(sd_bus_message* message, std::string_view service, std::string_view account) {
  const std::string serviceText(service);
  const std::string accountText(account);
  return sd_bus_message_append(message, "a{ss}", 3, "xdg:schema", kSchema, "service", serviceText.c_str(),
                               "account", accountText.c_str());
}

bool nameHasOwner(sd_bus* bus) {
  sdbus::CallError failure;
  sd_bus_message* raw = nullptr;
  if (sd_bus_call_method(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                         "NameHasOwner", &failure.error, &raw, "s", kBusName) < 0)
    return false;
  sdbus::Message reply(raw);
  int owned = 0;
  return sd_bus_message_read(reply.get(), "b", &owned) >= 0 && owned != 0;
}

// Reads an array of object paths at the message's position.
bool readPaths(sd_bus_message* message, std::vector<std::string>& paths) {
  if (sd_bus_message_enter_container(message, 'a', "o") < 0) return false;
  const char* path = nullptr;
  int read = 0;
  while ((read = sd_bus_message_read(message, "o", &path)) > 0) paths.emplace_back(path);
  return read >= 0 && sd_bus_message_exit_container(message) >= 0;
}

}  // namespace

struct SecretServiceKeychain::Connection {
  sdbus::Bus bus;
  std::string session;  // the "plain" session that carries secrets in our calls
};

std::unique_ptr<SecretServiceKeychain> SecretServiceKeychain::connect(const std::string& busAddress) {
  const std::string address = busAddress.empty() ? sdbus::sessionBusAddress() : busAddress;
  if (address.empty()) return nullptr;
  auto connection = std::make_unique<Connection>();
  connection->bus = sdbus::connect(address);
  if (!connection->bus) return nullptr;
  sd_bus_set_method_call_timeout(connection->bus.get(), kCallTimeoutUs);
  if (!nameHasOwner(connection->bus.get())) return nullptr;
  // "plain": the secret travels as is, over the user's own bus socket, which only the bus daemon
  // and the keyring read.
  sdbus::CallError failure;
  sd_bus_message* raw = nullptr;
  if (sd_bus_call_method(connection->bus.get(), kBusName, kServicePath, kServiceInterface, "OpenSession",
                         &failure.error, &raw, "sv", "plain", "s", "") < 0)
    return nullptr;
  sdbus::Message reply(raw);
  const char* session = nullptr;
  if (sd_bus_message_skip(reply.get(), "v") < 0 || sd_bus_message_read(reply.get(), "o", &session) < 0 ||
      session == nullptr)
    return nullptr;
  connection->session = session;
  return std::unique_ptr<SecretServiceKeychain>(new SecretServiceKeychain(std::move(connection)));
}

SecretServiceKeychain::SecretServiceKeychain(std::unique_ptr<Connection> connection)
    : connection_(std::move(connection)) {}

SecretServiceKeychain::~SecretServiceKeychain() {
  sdbus::CallError failure;
  sd_bus_call_method(connection_->bus.get(), kBusName, connection_->session.c_str(),
                     "org.freedesktop.Secret.Session", "Close", &failure.error, nullptr, "");
}

std::optional<std::vector<std::string>> SecretServiceKeychain::unlockedItems(std::string_view service,
                                                                             std::string_view account) {
  sd_bus* bus = connection_->bus.get();
  sd_bus_message* raw = nullptr;
  if (sd_bus_message_new_method_call(bus, &raw, kBusName, kServicePath, kServiceInterface, "SearchItems") < 0)
    return std::nullopt;
  sdbus::Message call(raw);
  if (appendAttributes(call.get(), service, account) < 0) return std::nullopt;
  sdbus::CallError failure;
  raw = nullptr;
  if (sd_bus_call(bus, call.get(), 0, &failure.error, &raw) < 0) return std::nullopt;
  sdbus::Message reply(raw);
  // Locked items are left out: reading them would need the keyring's password.
  std::vector<std::string> unlocked;
  if (!readPaths(reply.get(), unlocked)) return std::nullopt;
  return unlocked;
}

std::optional<std::string> SecretServiceKeychain::unlockedDefaultCollection() {
  sd_bus* bus = connection_->bus.get();
  sdbus::CallError failure;
  sd_bus_message* raw = nullptr;
  if (sd_bus_call_method(bus, kBusName, kServicePath, kServiceInterface, "ReadAlias", &failure.error, &raw,
                         "s", "default") < 0)
    return std::nullopt;
  sdbus::Message reply(raw);
  const char* path = nullptr;
  if (sd_bus_message_read(reply.get(), "o", &path) < 0 || path == nullptr || std::strcmp(path, "/") == 0)
    return std::nullopt;
  const std::string collection = path;
  int locked = 1;
  sdbus::CallError propertyFailure;
  if (sd_bus_get_property_trivial(bus, kBusName, collection.c_str(), kCollectionInterface, "Locked",
                                  &propertyFailure.error, 'b', &locked) < 0 ||
      locked != 0)
    return std::nullopt;
  return collection;
}

std::optional<std::string> SecretServiceKeychain::read(std::string_view service, std::string_view account) {
  std::lock_guard lock(mutex_);
  const auto items = unlockedItems(service, account);
  if (!items || items->empty()) return std::nullopt;
  sd_bus* bus = connection_->bus.get();
  // One item by design (writes replace); should another program have added a second, the first
  // answer counts.
  sdbus::CallError failure;
  sd_bus_message* raw = nullptr;
  if (sd_bus_call_method(bus, kBusName, items->front().c_str(), kItemInterface, "GetSecret", &failure.error,
                         &raw, "o", connection_->session.c_str()) < 0)
    return std::nullopt;
  sdbus::Message reply(raw);
  const char* session = nullptr;
  const void* bytes = nullptr;
  std::size_t length = 0;
  if (sd_bus_message_enter_container(reply.get(), 'r', "oayays") < 0 ||
      sd_bus_message_read(reply.get(), "o", &session) < 0 || sd_bus_message_skip(reply.get(), "ay") < 0 ||
      sd_bus_message_read_array(reply.get(), 'y', &bytes, &length) < 0)
    return std::nullopt;
  return std::string(static_cast<const char*>(bytes), length);
}

bool SecretServiceKeychain::write(std::string_view service, std::string_view account,
                                  std::string_view value) {
  std::lock_guard lock(mutex_);
  // Creating an item in a locked collection would ask for the keyring's password.
  const auto collection = unlockedDefaultCollection();
  if (!collection) return false;
  sd_bus* bus = connection_->bus.get();
  sd_bus_message* raw = nullptr;
  if (sd_bus_message_new_method_call(bus, &raw, kBusName, collection->c_str(), kCollectionInterface,
                                     "CreateItem") < 0)
    return false;
  sdbus::Message call(raw);
  const std::string label = "twig-child " + std::string(service) + " " + std::string(account);
  sd_bus_message* m = call.get();
  const bool built =
      sd_bus_message_open_container(m, 'a', "{sv}") >= 0 &&
      sd_bus_message_open_container(m, 'e', "sv") >= 0 &&
      sd_bus_message_append(m, "s", "org.freedesktop.Secret.Item.Label") >= 0 &&
      sd_bus_message_append(m, "v", "s", label.c_str()) >= 0 && sd_bus_message_close_container(m) >= 0 &&
      sd_bus_message_open_container(m, 'e', "sv") >= 0 &&
      sd_bus_message_append(m, "s", "org.freedesktop.Secret.Item.Attributes") >= 0 &&
      sd_bus_message_open_container(m, 'v', "a{ss}") >= 0 && appendAttributes(m, service, account) >= 0 &&
      sd_bus_message_close_container(m) >= 0 && sd_bus_message_close_container(m) >= 0 &&
      sd_bus_message_close_container(m) >= 0 && sd_bus_message_open_container(m, 'r', "oayays") >= 0 &&
      sd_bus_message_append(m, "o", connection_->session.c_str()) >= 0 &&
      sd_bus_message_append_array(m, 'y', "", 0) >= 0 &&
      sd_bus_message_append_array(m, 'y', value.data(), value.size()) >= 0 &&
      sd_bus_message_append(m, "s", "text/plain") >= 0 && sd_bus_message_close_container(m) >= 0 &&
      sd_bus_message_append(m, "b", 1) >= 0;  // replace the entry's earlier item
  if (!built) return false;
  sdbus::CallError failure;
  raw = nullptr;
  if (sd_bus_call(bus, m, 0, &failure.error, &raw) < 0) return false;
  sdbus::Message reply(raw);
  const char* item = nullptr;
  const char* prompt = nullptr;
  // A prompt instead of an item means the keyring wants the user first: not stored.
  return sd_bus_message_read(reply.get(), "oo", &item, &prompt) >= 0 && item != nullptr &&
         std::strcmp(item, "/") != 0;
}

bool SecretServiceKeychain::remove(std::string_view service, std::string_view account) {
  std::lock_guard lock(mutex_);
  const auto items = unlockedItems(service, account);
  if (!items) return false;
  bool removed = false;
  for (const auto& item : *items) {
    sdbus::CallError failure;
    sd_bus_message* raw = nullptr;
    if (sd_bus_call_method(connection_->bus.get(), kBusName, item.c_str(), kItemInterface, "Delete",
                           &failure.error, &raw, "") < 0)
      continue;
    sdbus::Message reply(raw);
    const char* prompt = nullptr;
    // Deleted at once when no prompt came back; a prompt we never show leaves the item in place.
    removed = (sd_bus_message_read(reply.get(), "o", &prompt) >= 0 && prompt != nullptr &&
               std::strcmp(prompt, "/") == 0) ||
              removed;
  }
  return removed;
}

}  // namespace twig
