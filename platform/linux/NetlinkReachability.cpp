#include "platform/linux/NetlinkReachability.h"

#include <arpa/inet.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>
#include <vector>

// The netlink access macros are C and cast the old way.
#pragma GCC diagnostic ignored "-Wold-style-cast"

namespace twig {

namespace {

class Socket {
 public:
  explicit Socket(int fd = -1) : fd_(fd) {}
  ~Socket() {
    if (fd_ >= 0) ::close(fd_);
  }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  int get() const { return fd_; }
  int release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

bool isDefaultRoute(const nlmsghdr* header) {
  const auto* route = static_cast<const rtmsg*>(NLMSG_DATA(header));
  if (route->rtm_dst_len != 0 || route->rtm_type != RTN_UNICAST) return false;
  if (route->rtm_family != AF_INET && route->rtm_family != AF_INET6) return false;
  unsigned table = route->rtm_table;
  int length = static_cast<int>(RTM_PAYLOAD(header));
  for (auto* attribute = RTM_RTA(route); RTA_OK(attribute, length); attribute = RTA_NEXT(attribute, length)) {
    if (attribute->rta_type == RTA_TABLE && RTA_PAYLOAD(attribute) >= sizeof(unsigned)) {
      std::memcpy(&table, RTA_DATA(attribute), sizeof table);
    }
  }
  return table == RT_TABLE_MAIN;
}

}  // namespace

NetlinkReachability::NetlinkReachability(std::string targetHost) : targetHost_(std::move(targetHost)) {}

NetlinkReachability::~NetlinkReachability() {
  stopMonitoring();
}

bool NetlinkReachability::isLoopbackHost(const std::string& host) {
  if (host == "localhost" || host == "ip6-localhost") return true;
  in_addr v4{};
  if (::inet_pton(AF_INET, host.c_str(), &v4) == 1) return (ntohl(v4.s_addr) >> 24) == 127;
  in6_addr v6{};
  if (::inet_pton(AF_INET6, host.c_str(), &v6) == 1) return IN6_IS_ADDR_LOOPBACK(&v6);
  return false;
}

std::optional<bool> NetlinkReachability::hasDefaultRoute() {
  Socket socket(::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE));
  if (socket.get() < 0) return std::nullopt;
  timeval timeout{2, 0};
  ::setsockopt(socket.get(), SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);

  struct {
    nlmsghdr header;
    rtmsg route;
  } request{};
  request.header.nlmsg_len = NLMSG_LENGTH(sizeof(rtmsg));
  request.header.nlmsg_type = RTM_GETROUTE;
  request.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
  request.header.nlmsg_seq = 1;
  request.route.rtm_family = AF_UNSPEC;
  if (::send(socket.get(), &request, request.header.nlmsg_len, 0) < 0) return std::nullopt;

  std::vector<char> buffer(64 * 1024);
  bool found = false;
  for (;;) {
    const ssize_t received = ::recv(socket.get(), buffer.data(), buffer.size(), 0);
    if (received < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    if (received == 0) return std::nullopt;
    int remaining = static_cast<int>(received);
    for (auto* header = reinterpret_cast<nlmsghdr*>(buffer.data()); NLMSG_OK(header, remaining);
         header = NLMSG_NEXT(header, remaining)) {
      if (header->nlmsg_type == NLMSG_DONE) return found;
      if (header->nlmsg_type == NLMSG_ERROR) return std::nullopt;
      if (header->nlmsg_type == RTM_NEWROUTE && isDefaultRoute(header)) found = true;
    }
  }
}

void NetlinkReachability::startMonitoring(Listener listener) {
  stopMonitoring();
  {
    std::lock_guard lock(mutex_);
    listener_ = std::move(listener);
  }
  if (isLoopbackHost(targetHost_)) {
    report(ReachabilityStatus::ReachableViaWiFi);
    return;
  }
  // Subscribe before the first reading so that no change between the two is missed.
  Socket events(::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_ROUTE));
  if (events.get() < 0)
    return;  // no routing socket here: the status stays unknown, which counts as reachable
  sockaddr_nl address{};
  address.nl_family = AF_NETLINK;
  address.nl_groups =
      RTMGRP_LINK | RTMGRP_IPV4_IFADDR | RTMGRP_IPV6_IFADDR | RTMGRP_IPV4_ROUTE | RTMGRP_IPV6_ROUTE;
  if (::bind(events.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return;
  Socket stop(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
  if (stop.get() < 0) return;
  stopFd_ = stop.release();
  const int eventSocket = events.release();
  thread_ = std::thread([this, eventSocket, stopFd = stopFd_] { watch(eventSocket, stopFd); });
}

void NetlinkReachability::stopMonitoring() {
  if (thread_.joinable()) {
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = ::write(stopFd_, &one, sizeof one);
    if (thread_.get_id() == std::this_thread::get_id()) {
      // Stopped from its own listener: the thread ends by itself at its next poll. Its stop
      // descriptor stays open, as the thread may still read it.
      thread_.detach();
    } else {
      thread_.join();
      ::close(stopFd_);
    }
    stopFd_ = -1;
  }
  std::lock_guard lock(mutex_);
  listener_ = nullptr;
}

void NetlinkReachability::report(ReachabilityStatus status) {
  if (status_.exchange(status) == status) return;
  Listener listener;
  {
    std::lock_guard lock(mutex_);
    listener = listener_;
  }
  // Called without the lock, so that a listener may stop the monitoring.
  if (listener) listener(status);
}

void NetlinkReachability::watch(int eventSocket, int stopFd) {
  Socket events(eventSocket);
  auto read = [this] {
    if (auto route = hasDefaultRoute()) {
      report(*route ? ReachabilityStatus::ReachableViaWiFi : ReachabilityStatus::NotReachable);
    }
  };
  read();
  std::vector<char> buffer(64 * 1024);
  for (;;) {
    pollfd fds[2] = {{events.get(), POLLIN, 0}, {stopFd, POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (fds[1].revents != 0) return;
    // Drain every pending event, then read the table once: a burst of changes costs one reading.
    for (;;) {
      const ssize_t received = ::recv(events.get(), buffer.data(), buffer.size(), 0);
      if (received > 0) continue;
      if (received < 0 && errno == EINTR) continue;
      break;  // EAGAIN, or ENOBUFS after an overflow: either way the table is read afresh below
    }
    read();
  }
}

}  // namespace twig
