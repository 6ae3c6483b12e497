#include "app/ConsoleInput.h"

#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace twig {

ConsoleInput::ConsoleInput(std::function<void(std::string line)> onLine, int fd)
    : onLine_(std::move(onLine)), fd_(fd) {
  if (!isInteractive(fd_)) return;
  wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wakeFd_ < 0) return;
  thread_ = std::thread([this] { read(); });
  pthread_setname_np(thread_.native_handle(), "twig-console");
}

ConsoleInput::~ConsoleInput() {
  if (thread_.joinable()) {
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = ::write(wakeFd_, &one, sizeof one);
    thread_.join();
  }
  if (wakeFd_ >= 0) ::close(wakeFd_);
}

bool ConsoleInput::isInteractive(int fd) {
  struct stat status {};
  if (::fstat(fd, &status) != 0) return false;
  return isatty(fd) != 0 || S_ISFIFO(status.st_mode) || S_ISSOCK(status.st_mode);
}

void ConsoleInput::read() {
  std::string pending;
  char buffer[4096];
  for (;;) {
    pollfd fds[2] = {{fd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (fds[1].revents != 0) return;
    const ssize_t got = ::read(fd_, buffer, sizeof buffer);
    if (got <= 0) return;  // end of input: the agent goes on without it
    pending.append(buffer, static_cast<std::size_t>(got));
    for (auto end = pending.find('\n'); end != std::string::npos; end = pending.find('\n')) {
      std::string line = pending.substr(0, end);
      pending.erase(0, end + 1);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      onLine_(std::move(line));
    }
    // A line longer than anyone types goes on as it is rather than being held without limit.
    if (pending.size() > 65536) {
      onLine_(std::move(pending));
      pending.clear();
    }
  }
}

}  // namespace twig
