// The desktop keyring: a private session bus (dbus-daemon) and a real GNOME Keyring on it, started
// by the test and unlocked with a password as a login would.
#include "platform/linux/SecretServiceKeychain.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <systemd/sd-bus.h>

#include <fstream>
#include <thread>

#include "platform/MirroredKeychain.h"
#include "platform/linux/FileKeychain.h"
#include "tests/fakes/ChildProcess.h"
#include "tests/fakes/TempDir.h"

namespace twig {
namespace {

using namespace std::chrono_literals;

constexpr const char* kService = "com.orvane.tessel.children";

class SecretServiceKeychainTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto line = bus.nextLine(10s);
    ASSERT_TRUE(line) << "dbus-daemon did not start";
    address = *line;
    std::filesystem::create_directories(home / "run");
    ::chmod((home / "run").c_str(), 0700);
    std::ofstream(home / "password") << "kid-login-password";
    keyringDaemon.emplace(
        "/bin/sh",
        std::vector<std::string>{
            "-c",
            "exec env DBUS_SESSION_BUS_ADDRESS=\"$1\" HOME=\"$2\" XDG_DATA_HOME=\"$2/data\" "
            "XDG_RUNTIME_DIR=\"$2/run\" /usr/bin/gnome-keyring-daemon --foreground --components=secrets "
            "--unlock < \"$2/password\"",
            "sh", address, home.path().string()});
    // The keyring takes its bus name, then makes and unlocks the login collection.
    const auto giveUp = std::chrono::steady_clock::now() + 20s;
    while (std::chrono::steady_clock::now() < giveUp) {
      if (auto keychain = SecretServiceKeychain::connect(address);
          keychain && keychain->write("probe", "probe", "1"))
        return;
      std::this_thread::sleep_for(50ms);
    }
    FAIL() << "the keyring did not come up on " << address;
  }

  // What the screen locker does: locks the default collection (no prompt is needed for that).
  void lockTheKeyring() {
    sd_bus* raw = nullptr;
    ASSERT_GE(sd_bus_new(&raw), 0);
    std::unique_ptr<sd_bus, decltype(&sd_bus_flush_close_unref)> connection(raw, sd_bus_flush_close_unref);
    ASSERT_GE(sd_bus_set_address(raw, address.c_str()), 0);
    ASSERT_GE(sd_bus_set_bus_client(raw, 1), 0);
    ASSERT_GE(sd_bus_start(raw), 0);
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    ASSERT_GE(
        sd_bus_call_method(raw, "org.freedesktop.secrets", "/org/freedesktop/secrets",
                           "org.freedesktop.Secret.Service", "ReadAlias", &error, &reply, "s", "default"),
        0)
        << error.message;
    const char* collection = nullptr;
    ASSERT_GE(sd_bus_message_read(reply, "o", &collection), 0);
    const std::string path = collection;
    sd_bus_message_unref(reply);
    reply = nullptr;
    ASSERT_GE(
        sd_bus_call_method(raw, "org.freedesktop.secrets", "/org/freedesktop/secrets",
                           "org.freedesktop.Secret.Service", "Lock", &error, &reply, "ao", 1, path.c_str()),
        0)
        << error.message;
    sd_bus_message_unref(reply);
    sd_bus_error_free(&error);
  }

  test::ChildProcess bus{"/usr/bin/dbus-daemon", {"--session", "--nofork", "--print-address=1"}};
  std::string address;
  test::TempDir home;
  std::optional<test::ChildProcess> keyringDaemon;
};

TEST_F(SecretServiceKeychainTest, EntriesLiveInTheKeyringOnePerServiceAndAccount) {
  {
    auto keychain = SecretServiceKeychain::connect(address);
    ASSERT_TRUE(keychain);
    EXPECT_FALSE(keychain->read(kService, "UUID").has_value());
    ASSERT_TRUE(keychain->write(kService, "UUID", "first"));
    ASSERT_TRUE(keychain->write(kService, "UUID", "second"));  // replaces, does not add
    ASSERT_TRUE(keychain->write(kService, "other", std::string("with\0nul", 8)));
    ASSERT_TRUE(keychain->write("another.service", "UUID", "third"));
  }
  auto reconnected = SecretServiceKeychain::connect(address);
  ASSERT_TRUE(reconnected);
  EXPECT_EQ(reconnected->read(kService, "UUID"), "second");
  EXPECT_EQ(reconnected->read(kService, "other"), std::string("with\0nul", 8));
  EXPECT_EQ(reconnected->read("another.service", "UUID"), "third");
  EXPECT_TRUE(reconnected->remove(kService, "UUID"));
  EXPECT_FALSE(reconnected->read(kService, "UUID").has_value());
  EXPECT_FALSE(reconnected->remove(kService, "UUID"));
  EXPECT_EQ(reconnected->read("another.service", "UUID"), "third");
}

TEST_F(SecretServiceKeychainTest, TheIdentifierOutlivesTheDataFolder) {
  auto keyring = SecretServiceKeychain::connect(address);
  ASSERT_TRUE(keyring);
  test::TempDir data;
  {
    FileKeychain file(data / "keychain");
    MirroredKeychain keychain(*keyring, file);
    ASSERT_TRUE(keychain.write(kService, "UUID", "device-1"));
  }
  // Uninstalled with its data, installed again.
  std::filesystem::remove_all(data / "keychain");
  FileKeychain file(data / "keychain");
  MirroredKeychain keychain(*keyring, file);
  EXPECT_EQ(keychain.read(kService, "UUID"), "device-1");
  EXPECT_EQ(file.read(kService, "UUID"), "device-1");
}

TEST_F(SecretServiceKeychainTest, ALockedKeyringNeitherPromptsNorLosesTheIdentifier) {
  auto keyring = SecretServiceKeychain::connect(address);
  ASSERT_TRUE(keyring);
  test::TempDir data;
  FileKeychain file(data / "keychain");
  MirroredKeychain keychain(*keyring, file);
  ASSERT_TRUE(keychain.write(kService, "UUID", "device-1"));
  lockTheKeyring();

  // Asking a locked keyring would pop up its password prompt; the reads and writes give up instead.
  EXPECT_FALSE(keyring->read(kService, "UUID").has_value());
  EXPECT_FALSE(keyring->write(kService, "UUID", "device-2"));
  EXPECT_EQ(keychain.read(kService, "UUID"), "device-1");
}

TEST_F(SecretServiceKeychainTest, NoKeyringWithoutItsServiceOnTheBus) {
  keyringDaemon.reset();  // the session's bus stays, its keyring is gone
  EXPECT_FALSE(SecretServiceKeychain::connect(address));
  EXPECT_FALSE(SecretServiceKeychain::connect("unix:path=/nonexistent/bus"));
}

}  // namespace
}  // namespace twig
