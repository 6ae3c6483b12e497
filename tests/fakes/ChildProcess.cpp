#include "tests/fakes/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>
#include <thread>

namespace twig::test {

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                           bool withErrors) {
  int pipeFds[2];
  int inputFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0 || ::pipe2(inputFds, O_CLOEXEC) != 0)
    throw std::runtime_error("pipe failed");
  std::vector<std::string> argv = {program};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  std::vector<char*> raw;
  for (auto& argument : argv) raw.push_back(argument.data());
  raw.push_back(nullptr);
  // The agents a test starts keep their identifier in their own data folder, never in the keyring
  // of the desktop the tests happen to run on (where it would outlive the test).
  std::vector<std::string> environment;
  bool keychainChosen = false;
  for (char** variable = environ; *variable != nullptr; ++variable) {
    environment.emplace_back(*variable);
    keychainChosen = keychainChosen || environment.back().rfind("TWIG_KEYCHAIN=", 0) == 0;
  }
  if (!keychainChosen) environment.emplace_back("TWIG_KEYCHAIN=file");
  std::vector<char*> rawEnvironment;
  for (auto& variable : environment) rawEnvironment.push_back(variable.data());
  rawEnvironment.push_back(nullptr);
  pid_ = ::fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) {
    ::dup2(pipeFds[1], STDOUT_FILENO);
    if (withErrors) ::dup2(pipeFds[1], STDERR_FILENO);
    ::dup2(inputFds[0], STDIN_FILENO);
    ::execve(program.c_str(), raw.data(), rawEnvironment.data());
    ::_exit(127);
  }
  ::close(pipeFds[1]);
  ::close(inputFds[0]);
  output_ = pipeFds[0];
  input_ = inputFds[1];
}

bool ChildProcess::writeLine(const std::string& line) {
  if (input_ < 0) return false;
  const std::string text = line + "\n";
  // The program may have ended: the test gets a failed write, not SIGPIPE.
  static const auto ignored = ::signal(SIGPIPE, SIG_IGN);
  (void)ignored;
  return ::write(input_, text.data(), text.size()) == static_cast<ssize_t>(text.size());
}

ChildProcess::~ChildProcess() {
  if (!exited_) stop(SIGTERM, std::chrono::seconds(5));
  if (output_ >= 0) ::close(output_);
  if (input_ >= 0) ::close(input_);
}

std::optional<std::string> ChildProcess::nextLine(std::chrono::milliseconds timeout) {
  const auto giveUp = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    const auto newline = pending_.find('\n');
    if (newline != std::string::npos) {
      std::string line = pending_.substr(0, newline);
      pending_.erase(0, newline + 1);
      lines_.push_back(line);
      return line;
    }
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(giveUp - std::chrono::steady_clock::now());
    if (left.count() <= 0 || output_ < 0) return std::nullopt;
    pollfd fd{output_, POLLIN, 0};
    if (::poll(&fd, 1, static_cast<int>(left.count())) <= 0) continue;
    char buffer[4096];
    const ssize_t n = ::read(output_, buffer, sizeof buffer);
    if (n <= 0) {
      ::close(output_);
      output_ = -1;
      continue;
    }
    pending_.append(buffer, static_cast<std::size_t>(n));
  }
}

bool ChildProcess::waitForLine(const std::string& line, std::chrono::milliseconds timeout) {
  const auto giveUp = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(giveUp - std::chrono::steady_clock::now());
    auto next = nextLine(left);
    if (!next) return false;
    if (*next == line) return true;
  }
}

int ChildProcess::stop(int signal, std::chrono::milliseconds timeout) {
  if (exited_) return status_;
  ::kill(pid_, signal);
  const auto giveUp = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < giveUp) {
    if (::waitpid(pid_, &status_, WNOHANG) == pid_) {
      exited_ = true;
      return status_;
    }
    // Drain output meanwhile so that a chatty child never blocks on a full pipe.
    nextLine(std::chrono::milliseconds(10));
  }
  ::kill(pid_, SIGKILL);
  ::waitpid(pid_, &status_, 0);
  exited_ = true;
  return status_;
}

}  // namespace twig::test
