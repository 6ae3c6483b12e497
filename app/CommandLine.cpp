#include "app/CommandLine.h"

#include <CLI/CLI.hpp>
#include <cstdio>

namespace twig {

std::optional<int> CommandLine::parse(CLI::App& app, int argc, char** argv, const char* program) {
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    std::fprintf(stderr, "%s: %s\nRun with --help for the options.\n", program, e.what());
    return 2;
  }
  return std::nullopt;
}

}  // namespace twig
