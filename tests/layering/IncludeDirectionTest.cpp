// The layers depend on each other in one direction only: a file may include its own layer and the
// layers below it, never a layer above or beside it. The order is written here, once.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "tests/fakes/TempDir.h"

namespace twig {
namespace {

namespace fs = std::filesystem;

// Folder (or sub-folder) to rank; a layer may include only layers of a lower rank, and its own.
// Layers of one rank are siblings and stay apart. The fakes of the ports rank above the agent: only
// tests and benchmarks, which are not ranked, may use them.
const std::vector<std::pair<std::string, int>> kLayers = {
    {"platform", 0},  {"api", 1},     {"storage", 2}, {"frame", 3},   {"identity", 4},
    {"messaging", 4}, {"control", 5}, {"status", 5},  {"wallet", 5},  {"screens", 6},
    {"app", 7},       {"ui", 8},      {"tools", 8},   {"platform/fake", 9},
};

// The layer a path inside the tree belongs to: the longest listed folder it lies in.
std::optional<std::string> layerOf(const std::string& path) {
  std::optional<std::string> found;
  for (const auto& [folder, rank] : kLayers) {
    if (path.rfind(folder + "/", 0) == 0 && (!found || folder.size() > found->size())) found = folder;
  }
  return found;
}

int rankOf(const std::string& layer) {
  for (const auto& [folder, rank] : kLayers) {
    if (folder == layer) return rank;
  }
  return -1;
}

// Every quoted include that leaves its layer for one that is not below it: "file -> included".
std::vector<std::string> wrongIncludes(const fs::path& root) {
  static const std::regex include(R"(^\s*#\s*include\s+"([^"]+)\")");
  std::vector<std::string> wrong;
  for (const auto& [folder, rank] : kLayers) {
    if (!fs::is_directory(root / folder)) continue;
    for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
      const auto extension = entry.path().extension();
      if (!entry.is_regular_file() || (extension != ".h" && extension != ".cpp")) continue;
      const std::string file = fs::relative(entry.path(), root).generic_string();
      const auto own = layerOf(file);
      if (own != folder) continue;  // a sub-folder with a layer of its own is checked as that layer
      std::ifstream in(entry.path());
      std::smatch match;
      for (std::string line; std::getline(in, line);) {
        if (!std::regex_search(line, match, include)) continue;
        const auto target = layerOf(match[1].str());
        if (!target || *target == *own) continue;
        if (rankOf(*target) >= rank) wrong.push_back(file + " -> " + match[1].str());
      }
    }
  }
  return wrong;
}

TEST(IncludeDirection, NoLayerIncludesALayerAboveOrBesideIt) {
  const auto wrong = wrongIncludes(TWIG_SOURCE_DIR);
  std::string listing;
  for (const auto& line : wrong) listing += "\n  " + line;
  EXPECT_TRUE(wrong.empty()) << "includes against the layer order:" << listing;
}

TEST(IncludeDirection, TheCheckSeesUpwardSidewaysAndFakeIncludes) {
  test::TempDir dir;
  const fs::path root = dir.path();
  auto write = [&](const std::string& file, const std::string& text) {
    fs::create_directories((root / file).parent_path());
    std::ofstream(root / file) << text;
  };
  write("platform/Clock.h", "#pragma once\n#include <chrono>\n");
  write("storage/Cache.cpp", "#include \"storage/Cache.h\"\n#include \"platform/Clock.h\"\n");
  write("messaging/Channel.cpp", "  #  include \"identity/User.h\"\n");
  write("api/Request.cpp", "#include \"control/Manager.h\"  // upward\n");
  write("control/Handler.cpp", "#include \"messaging/Base.h\"\n#include \"platform/fake/FakeClock.h\"\n");
  write("platform/fake/FakeClock.h", "#include \"platform/Clock.h\"\n");
  write("app/main.cpp", "#include \"control/Manager.h\"\n#include <control/Manager.h>\n");

  auto wrong = wrongIncludes(root);
  std::sort(wrong.begin(), wrong.end());
  EXPECT_EQ(wrong, (std::vector<std::string>{"api/Request.cpp -> control/Manager.h",
                                             "control/Handler.cpp -> platform/fake/FakeClock.h",
                                             "messaging/Channel.cpp -> identity/User.h"}));
}

// Files outside ui/ that include a Qt header (<Q...> or <Qt...>): the core stays free of Qt.
std::vector<std::string> qtOutsideUi(const fs::path& root) {
  static const std::regex qtInclude(R"(^\s*#\s*include\s+<Q[A-Za-z]*(/[A-Za-z]+)?>)");
  std::vector<std::string> found;
  for (const auto& [folder, rank] : kLayers) {
    if (folder == "ui" || !fs::is_directory(root / folder)) continue;
    for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
      if (!entry.is_regular_file()) continue;
      const auto extension = entry.path().extension();
      if (extension != ".h" && extension != ".cpp") continue;
      std::ifstream in(entry.path());
      for (std::string line; std::getline(in, line);) {
        if (std::regex_search(line, qtInclude)) found.push_back(fs::relative(entry.path(), root).string());
      }
    }
  }
  return found;
}

TEST(IncludeDirection, OnlyTheWindowIncludesQt) {
  const auto found = qtOutsideUi(TWIG_SOURCE_DIR);
  std::string listing;
  for (const auto& file : found) listing += "\n  " + file;
  EXPECT_TRUE(found.empty()) << "Qt outside ui/:" << listing;

  test::TempDir dir;
  fs::create_directories(dir / "wallet");
  std::ofstream(dir / "wallet" / "Bad.cpp") << "#include <QString>\n#include <queue>\n";
  EXPECT_EQ(qtOutsideUi(dir.path()), (std::vector<std::string>{"wallet/Bad.cpp"}));
}

}  // namespace
}  // namespace twig
