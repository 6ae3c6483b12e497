#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace twig::test {

// A program started by a test, its standard output read line by line. Stopped (SIGTERM, then
// SIGKILL) when the object goes.
class ChildProcess {
 public:
  // `withErrors`: standard error is read as part of the output.
  ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
               bool withErrors = false);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Reads until a line equal to `line` arrives (true) or the time runs out or output ends (false).
  bool waitForLine(const std::string& line, std::chrono::milliseconds timeout);
  // The next line, or nothing on time-out or end of output.
  std::optional<std::string> nextLine(std::chrono::milliseconds timeout);
  const std::vector<std::string>& lines() const { return lines_; }
  // Writes a line to the program's standard input (a pipe); false when it could not be written.
  bool writeLine(const std::string& line);
  // Sends `signal` and waits for the exit; returns the exit status as waitpid gives it.
  int stop(int signal, std::chrono::milliseconds timeout = std::chrono::seconds(10));
  pid_t pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
  int output_ = -1;
  int input_ = -1;
  std::string pending_;
  std::vector<std::string> lines_;
  bool exited_ = false;
  int status_ = 0;
};

}  // namespace twig::test
