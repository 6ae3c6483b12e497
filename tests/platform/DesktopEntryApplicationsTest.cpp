// The installed applications from desktop entries in a fake set of XDG data folders.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/linux/DesktopEntryApplications.h"
#include "tests/fakes/TempDir.h"

namespace twig {
namespace {

namespace fs = std::filesystem;

class DesktopEntryApplicationsTest : public ::testing::Test {
 protected:
  void entry(const fs::path& folder, const std::string& relative, const std::string& body) {
    const fs::path file = folder / "applications" / relative;
    fs::create_directories(file.parent_path());
    std::ofstream(file) << "[Desktop Entry]\nType=Application\n" << body;
  }
  void program(const std::string& name) {
    fs::create_directories(bin);
    std::ofstream(bin / name) << "#!/bin/sh\n";
    fs::permissions(bin / name, fs::perms::owner_all);
  }
  Json fetch() {
    DesktopEntryApplications::Options options;
    options.dataFolders = {user, system};
    options.path = bin.string();
    return *DesktopEntryApplications(options).fetch();
  }
  Json record(const Json& records, const std::string& id) {
    for (const auto& r : records) {
      if (r["bundleId"] == id) return r;
    }
    return Json();
  }

  test::TempDir dir;
  fs::path user = dir / "home" / ".local" / "share";
  fs::path system = dir / "usr" / "share";
  fs::path bin = dir / "bin";
};

TEST_F(DesktopEntryApplicationsTest, NamesProgramsAndTagsComeFromTheEntries) {
  program("supertux2");
  entry(system, "supertux2.desktop",
        "Name=SuperTux\nName[zh_CN]=超级企鹅\nExec=supertux2 --fullscreen %U\nCategories=Game;ArcadeGame;\n");
  entry(system, "org.example.Chat.desktop",
        "Name=Chat\nExec=env GDK_BACKEND=x11 LANG=C chat-app %u\n"
        "Categories=Network;InstantMessaging;\n");
  entry(system, "com.example.Paint.desktop",
        "Name=Paint\nExec=/usr/bin/flatpak run --branch=stable --arch=x86_64 --command=paint "
        "com.example.Paint\n");
  entry(system, "kde/okular.desktop", "Name=Okular\nExec=okular %f\n");
  const Json records = fetch();
  EXPECT_EQ(record(records, "supertux2"), (Json{{"bundleId", "supertux2"},
                                                {"bundleExecutable", "supertux2"},
                                                {"displayName", "超级企鹅"},
                                                {"tagIds", {7001}}}));
  EXPECT_EQ(record(records, "org.example.Chat")["bundleExecutable"], "chat-app");
  EXPECT_EQ(record(records, "org.example.Chat")["tagIds"], Json({6005}));
  EXPECT_EQ(record(records, "com.example.Paint")["bundleExecutable"], "com.example.Paint");
  EXPECT_TRUE(record(records, "com.example.Paint")["tagIds"].is_null());
  EXPECT_EQ(record(records, "kde-okular")["displayName"], "Okular");
}

TEST_F(DesktopEntryApplicationsTest, HiddenAndNoDisplayEntriesAndMissingProgramsAreLeftOut) {
  entry(system, "settings-daemon.desktop", "Name=Daemon\nExec=daemon\nNoDisplay=true\n");
  entry(system, "removed.desktop", "Name=Removed\nExec=removed\n");
  entry(user, "removed.desktop", "Name=Removed\nExec=removed\nHidden=true\n");  // the user removed it
  entry(system, "uninstalled.desktop", "Name=Gone\nExec=gone\nTryExec=gone\n");
  entry(system, "link.desktop", "Type=Link\nName=Site\nURL=http://example.com\n");
  entry(system, "broken.desktop", "this is not a desktop entry");
  entry(system, "vim.desktop", "Name=Vim\nExec=vim %F\n");
  entry(user, "vim.desktop", "Name=My Vim\nExec=vim -u NONE %F\n");  // the user's own wins
  const Json records = fetch();
  ASSERT_EQ(records.size(), 1u) << records.dump();
  EXPECT_EQ(records[0]["displayName"], "My Vim");
}

TEST_F(DesktopEntryApplicationsTest, ProgramsResolveThroughWrappersPathAndLinks) {
  program("firefox-esr");
  fs::create_symlink(bin / "firefox-esr", bin / "x-www-browser");
  const std::string path = bin.string();
  EXPECT_EQ(DesktopEntryApplications::executableOf("x-www-browser %u", path), "firefox-esr");
  EXPECT_EQ(DesktopEntryApplications::executableOf("env -u DISPLAY A=1 /opt/game/bin/run.sh --x", path),
            "run.sh");
  EXPECT_EQ(DesktopEntryApplications::executableOf("snap run spotify %U", path), "spotify");
  EXPECT_EQ(DesktopEntryApplications::executableOf("/snap/bin/telegram-desktop -- %u", path),
            "telegram-desktop");
  EXPECT_EQ(DesktopEntryApplications::executableOf("flatpak run org.gnome.Chess", path), "org.gnome.Chess");
  EXPECT_EQ(DesktopEntryApplications::executableOf("\"/opt/My App/app\" --flag", path), "app");
  EXPECT_EQ(DesktopEntryApplications::executableOf("env A=1", path), "");
  EXPECT_EQ(DesktopEntryApplications::executableOf("unterminated \"quote", path), "");
  EXPECT_EQ(DesktopEntryApplications::executableOf("", path), "");
}

}  // namespace
}  // namespace twig
