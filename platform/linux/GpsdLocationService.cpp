#include "platform/linux/GpsdLocationService.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>

#include "platform/BoundedJson.h"
#include "platform/Json.h"

namespace twig {

namespace {
constexpr std::size_t kMaxReportBytes = 64 * 1024;
}  // namespace

class GpsdLocationService::StopSignal {
 public:
  StopSignal() : fd_(::eventfd(0, EFD_CLOEXEC)) {}
  ~StopSignal() {
    if (fd_ >= 0) ::close(fd_);
  }
  StopSignal(const StopSignal&) = delete;
  StopSignal& operator=(const StopSignal&) = delete;
  void raise() {
    raised_ = true;
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = ::write(fd_, &one, sizeof one);
  }
  bool raised() const { return raised_; }
  int fd() const { return fd_; }

 private:
  int fd_;
  std::atomic<bool> raised_{false};
};

GpsdLocationService::GpsdLocationService(std::string host, std::uint16_t port,
                                         std::chrono::seconds fixTimeout)
    : host_(std::move(host)), port_(port), fixTimeout_(fixTimeout) {}

GpsdLocationService::~GpsdLocationService() {
  stopUpdates();
}

int GpsdLocationService::connectToDaemon() const {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return -1;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port_);
  if (::inet_pton(AF_INET, host_.c_str(), &address.sin_addr) != 1) {
    ::close(fd);
    return -1;
  }
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 && errno != EINPROGRESS) {
    ::close(fd);
    return -1;
  }
  pollfd ready{fd, POLLOUT, 0};
  int failure = 0;
  socklen_t length = sizeof failure;
  if (::poll(&ready, 1, 300) != 1 || ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &failure, &length) != 0 ||
      failure != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

bool GpsdLocationService::isEnabled() {
  const int fd = connectToDaemon();
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

void GpsdLocationService::startUpdates(Update update, Failure failure) {
  stopUpdates();
  const int socket = connectToDaemon();
  if (socket < 0) {
    if (failure) failure();
    return;
  }
  std::lock_guard lock(mutex_);
  stop_ = std::make_shared<StopSignal>();
  watcher_ = std::thread([this, socket, stop = stop_, update = std::move(update),
                          failure = std::move(failure)] { watch(socket, stop, update, failure); });
}

void GpsdLocationService::stopUpdates() {
  std::thread watcher;
  std::shared_ptr<StopSignal> stop;
  {
    std::lock_guard lock(mutex_);
    watcher = std::move(watcher_);
    stop = std::move(stop_);
  }
  if (stop) stop->raise();
  if (!watcher.joinable()) return;
  if (watcher.get_id() == std::this_thread::get_id()) {
    watcher.detach();  // stopped from its own report: it ends by itself
  } else {
    watcher.join();
  }
}

void GpsdLocationService::watch(int socket, const std::shared_ptr<StopSignal>& stop, const Update& update,
                                const Failure& failure) {
  const std::string request = "?WATCH={\"enable\":true,\"json\":true};\n";
  [[maybe_unused]] const auto sent = ::send(socket, request.data(), request.size(), MSG_NOSIGNAL);
  const auto giveUp = std::chrono::steady_clock::now() + fixTimeout_;
  bool fixed = false;
  std::string pending;
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(giveUp - std::chrono::steady_clock::now());
    if (!fixed && left.count() <= 0) break;
    pollfd fds[2] = {{socket, POLLIN, 0}, {stop->fd(), POLLIN, 0}};
    const int ready = ::poll(fds, 2, fixed ? -1 : static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0 || fds[1].revents != 0) break;
    char buffer[4096];
    const ssize_t received = ::recv(socket, buffer, sizeof buffer, 0);
    if (received <= 0) break;
    pending.append(buffer, static_cast<std::size_t>(received));
    // gpsd's reports are lines of a few hundred bytes; a peer that never ends its line is not gpsd.
    if (pending.size() > kMaxReportBytes && pending.find('\n') == std::string::npos) break;
    for (auto newline = pending.find('\n'); newline != std::string::npos; newline = pending.find('\n')) {
      const Json report = BoundedJson::parseOrDiscard(std::string_view(pending).substr(0, newline));
      pending.erase(0, newline + 1);
      if (!report.is_object() || !report.contains("class") || report["class"] != "TPV") continue;
      if (!report.contains("mode") || !report["mode"].is_number() || report["mode"].get<double>() < 2)
        continue;
      if (!report.contains("lat") || !report.contains("lon") || !report["lat"].is_number() ||
          !report["lon"].is_number()) {
        continue;
      }
      fixed = true;
      if (update && !stop->raised()) update(report["lat"].get<double>(), report["lon"].get<double>());
    }
  }
  ::close(socket);
  // A watch that ends without any fix (daemon gone, time-out) is a failure; one stopped after
  // reporting a fix is not.
  if (!fixed && failure && !stop->raised()) failure();
}

}  // namespace twig
