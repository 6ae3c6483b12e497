// twig-child and its window module: loaded to draw, and a missing or foreign module does not stop
// the agent.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "tests/fakes/ChildProcess.h"
#include "tests/fakes/ScopedVariable.h"
#include "tests/fakes/TempDir.h"

namespace twig {
namespace {

using namespace std::chrono_literals;

// Reads lines until one contains `text`.
bool waitForText(test::ChildProcess& process, const std::string& text, std::chrono::seconds timeout) {
  const auto giveUp = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < giveUp) {
    const auto line = process.nextLine(1s);
    if (line && line->find(text) != std::string::npos) return true;
  }
  return false;
}

TEST(WindowModule, TheProgramDrawsItsScreensThroughTheModule) {
  test::TempDir folder;
  test::ChildProcess child(TWIG_CHILD_PATH, {"--screenshots", folder.path().string()});
  ASSERT_TRUE(child.waitForLine("wrote " + (folder / "lock.png").string(), 120s));
  EXPECT_GT(std::filesystem::file_size(folder / "lock.png"), 1000u);
}

TEST(WindowModule, WithoutAUsableModuleTheAgentSaysWhyAndRunsHeadless) {
  // A display is named, so the window is wanted.
  test::ScopedVariable display("DISPLAY", ":987");
  test::TempDir data;
  const std::vector<std::string> arguments = {"--service-host", "127.0.0.1:9", "--data-dir",
                                              data.path().string()};
  {
    test::ScopedVariable missing("TWIG_WINDOW_MODULE", (data / "twig-window.so").string());
    test::ChildProcess agent(TWIG_CHILD_PATH, arguments, /*withErrors=*/true);
    EXPECT_TRUE(waitForText(agent, "twig-window.so is not installed", 30s));
    EXPECT_TRUE(waitForText(agent, "screen root", 30s));
  }
  {
    // A library that is no window module: the C library the test itself uses.
    Dl_info library{};
    ASSERT_NE(::dladdr(reinterpret_cast<void*>(&std::strlen), &library), 0);
    test::ScopedVariable foreign("TWIG_WINDOW_MODULE", library.dli_fname);
    test::ChildProcess agent(TWIG_CHILD_PATH, arguments, /*withErrors=*/true);
    EXPECT_TRUE(waitForText(agent, "is not a window module of twig-child", 30s));
    EXPECT_TRUE(waitForText(agent, "screen root", 30s));
  }
}

}  // namespace
}  // namespace twig
