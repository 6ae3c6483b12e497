#include "messaging/MQTTClient.h"

#include "messaging/LostConnections.h"

#include <mosquitto.h>
#include <openssl/x509.h>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace twig {

namespace {

void initialiseLibraryOnce() {
  static std::once_flag once;
  std::call_once(once, [] { mosquitto_lib_init(); });
}

using SteadyClock = std::chrono::steady_clock;

}  // namespace

struct MQTTClient::Session {
  mosquitto* mosq = nullptr;
  int wakeFd = -1;
  std::mutex mutex;
  std::deque<std::function<void()>> tasks;
  bool stopping = false;
  std::thread thread;

  // Network thread only from here on.
  std::string host;
  bool started = false;
  bool attempted = false;
  bool breakBeforeNextPublish = false;
  bool holdOff = false;  // no more connection attempts (a takeover storm, or disconnect())
  // The first reason an attempt failed is the telling one (the library's own error before its
  // generic "A TLS error occurred.", say).
  bool attemptFailed = false;
  LostConnections lost;
  SteadyClock::time_point connectedAt{};
  std::uint64_t connection = 0;         // the number of the live (or last) connection
  SteadyClock::time_point restUntil{};  // no new connection before this (after a takeover storm)
  TakeoverHandler takeoverHandler;
  SteadyClock::time_point nextAttempt{};
  ConnectionHandler connectionHandler;
  MessageHandler messageHandler;
  std::map<int, SubscriptionHandler> subscriptionHandlers;
  std::map<int, PublishHandler> publishHandlers;
};

MQTTClient::MQTTClient(std::string clientId, bool cleanSession)
    : clientId_(std::move(clientId)), cleanSession_(cleanSession), session_(std::make_unique<Session>()) {
  initialiseLibraryOnce();
  session_->mosq = mosquitto_new(clientId_.c_str(), cleanSession_, this);
  session_->wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (session_->mosq != nullptr) {
    mosquitto_int_option(session_->mosq, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V31);
    // Answers are small and should leave at once, not wait for the peer's delayed acknowledgement.
    mosquitto_int_option(session_->mosq, MOSQ_OPT_TCP_NODELAY, 1);
    // Packets are written by this loop only, after the read that queued them is done, never from
    // inside it: a command's acknowledgement leaves after its message handler has returned, so the
    // handler can record the command before the broker forgets it.
    mosquitto_threaded_set(session_->mosq, true);
    mosquitto_connect_callback_set(session_->mosq, [](mosquitto*, void* user, int rc) {
      auto* self = static_cast<MQTTClient*>(user);
      Session& s = *self->session_;
      self->connected_ = rc == 0;
      if (rc == 0) {
        s.connectedAt = SteadyClock::now();
        ++s.connection;
      }
      self->noteProblem(rc == 0 ? std::string() : mosquitto_connack_string(rc));
      const std::uint32_t limit = self->settings_.takeoverLimit;
      if (rc == 0 && limit > 0) {
        if (const auto lost = s.lost.within(SteadyClock::now()); lost > limit) {
          // The rest starts now, whenever and however this connection ends, and the count starts
          // afresh after it: one storm is told once.
          s.restUntil = SteadyClock::now() + self->settings_.takeoverRest;
          s.lost = LostConnections();
          if (s.takeoverHandler) s.takeoverHandler(lost, s.connection);
          return;
        }
      }
      if (s.connectionHandler) s.connectionHandler(rc);
    });
    mosquitto_disconnect_callback_set(session_->mosq, [](mosquitto*, void* user, int rc) {
      auto* self = static_cast<MQTTClient*>(user);
      Session& s = *self->session_;
      // rc 0 is our own DISCONNECT; the library says MOSQ_ERR_CONN_LOST when the socket ended from
      // the other side, and names the network's troubles otherwise (a keep-alive unanswered, a
      // socket error).
      const auto now = SteadyClock::now();
      if (rc != 0 && self->connected_) {
        const auto ending = rc == MOSQ_ERR_CONN_LOST ? LostConnections::Ending::ClosedByBroker
                                                     : LostConnections::Ending::NetworkTrouble;
        if (LostConnections::takenOver(ending, now - s.connectedAt, self->settings_.takeoverWindow))
          s.lost.record(now);
      }
      self->connectionEnded(SteadyClock::now() + std::chrono::seconds(self->settings_.reconnectDelay));
    });
    // The library tells why a connection failed (the TLS handshake above all) only in its log;
    // what it logs while connected is no connection problem.
    mosquitto_log_callback_set(session_->mosq, [](mosquitto*, void* user, int level, const char* text) {
      auto* self = static_cast<MQTTClient*>(user);
      if (level == MOSQ_LOG_ERR && text != nullptr && !self->connected_) self->noteProblem(text);
    });
    mosquitto_publish_callback_set(session_->mosq, [](mosquitto*, void* user, int mid) {
      auto& handlers = static_cast<MQTTClient*>(user)->session_->publishHandlers;
      auto it = handlers.find(mid);
      if (it == handlers.end()) return;
      PublishHandler handler = std::move(it->second);
      handlers.erase(it);
      handler(mid);
    });
    mosquitto_subscribe_callback_set(
        session_->mosq, [](mosquitto*, void* user, int mid, int count, const int* granted) {
          auto& handlers = static_cast<MQTTClient*>(user)->session_->subscriptionHandlers;
          auto it = handlers.find(mid);
          if (it == handlers.end()) return;
          SubscriptionHandler handler = std::move(it->second);
          handlers.erase(it);
          handler(std::vector<int>(granted, granted + count));
        });
    mosquitto_message_callback_set(session_->mosq,
                                   [](mosquitto*, void* user, const mosquitto_message* message) {
                                     auto* self = static_cast<MQTTClient*>(user);
                                     if (!self->session_->messageHandler || message == nullptr) return;
                                     if (self->tooLarge(*message)) return;
                                     MQTTMessage received;
                                     received.mid = static_cast<std::uint16_t>(message->mid);
                                     received.topic = message->topic != nullptr ? message->topic : "";
                                     if (message->payload != nullptr && message->payloadlen > 0) {
                                       received.payload.assign(static_cast<const char*>(message->payload),
                                                               static_cast<std::size_t>(message->payloadlen));
                                     }
                                     received.qos = message->qos;
                                     received.retained = message->retain;
                                     self->session_->messageHandler(received);
                                   });
  } else {
    std::fprintf(stderr, "twig: cannot create the MQTT session for %s\n", clientId_.c_str());
  }
  session_->thread = std::thread([this] { run(); });
  // Thread names are cut to 15 bytes; they only help debugging.
  pthread_setname_np(session_->thread.native_handle(), "twig-mqtt");
}

bool MQTTClient::tooLarge(const mosquitto_message& message) const {
  const std::size_t limit = settings_.maxPayloadBytes;
  if (limit == 0 || message.payloadlen < 0 || static_cast<std::size_t>(message.payloadlen) <= limit)
    return false;
  // The library acknowledges it when this callback returns, so a queued message of this size does
  // not come back at every connection.
  std::fprintf(stderr, "twig: dropped a message of %d bytes on %s: larger than the limit of %zu bytes\n",
               message.payloadlen, message.topic != nullptr ? message.topic : "", limit);
  return true;
}

MQTTClient::~MQTTClient() {
  stop();
  // No DISCONNECT: the socket just closes, and the broker publishes the will.
  if (session_->mosq != nullptr) mosquitto_destroy(session_->mosq);
  ::close(session_->wakeFd);
}

void MQTTClient::stop() {
  {
    std::lock_guard lock(session_->mutex);
    session_->stopping = true;
  }
  const std::uint64_t one = 1;
  [[maybe_unused]] const auto written = ::write(session_->wakeFd, &one, sizeof one);
  if (session_->thread.joinable()) session_->thread.join();
}

void MQTTClient::post(std::function<void()> task) {
  {
    std::lock_guard lock(session_->mutex);
    if (session_->stopping) return;
    session_->tasks.push_back(std::move(task));
  }
  const std::uint64_t one = 1;
  [[maybe_unused]] const auto written = ::write(session_->wakeFd, &one, sizeof one);
}

void MQTTClient::setMessageHandler(MessageHandler handler) {
  post([this, handler = std::move(handler)]() mutable { session_->messageHandler = std::move(handler); });
}

void MQTTClient::setTakeoverHandler(TakeoverHandler handler) {
  post([this, handler = std::move(handler)]() mutable { session_->takeoverHandler = std::move(handler); });
}

void MQTTClient::connectToHost(const std::string& host, ConnectionHandler handler) {
  post([this, host, handler = std::move(handler)]() mutable {
    session_->connectionHandler = std::move(handler);
    if (session_->started || session_->mosq == nullptr) return;
    session_->started = true;
    session_->host = host;
    if (settings_.username) {
      mosquitto_username_pw_set(session_->mosq, settings_.username->c_str(),
                                settings_.password ? settings_.password->c_str() : nullptr);
    }
    mosquitto_reconnect_delay_set(session_->mosq, settings_.reconnectDelay, settings_.reconnectDelay, false);
    if (settings_.tls) setUpTls();
    session_->nextAttempt = SteadyClock::now();
  });
}

void MQTTClient::setUpTls() {
  mosquitto* mosq = session_->mosq;
  std::string caFile = settings_.caFile;
  std::string caPath;
  if (caFile.empty()) {
    // The system's authorities, named where OpenSSL itself finds them (its variables first). The
    // library's own switch for them (MOSQ_OPT_TLS_USE_OS_CERTS) breaks every reconnection in
    // libmosquitto 2.0: a second handshake finds its context "without cafile, capath or psk".
    const char* file = std::getenv(X509_get_default_cert_file_env());
    caFile = file != nullptr ? file : X509_get_default_cert_file();
    std::error_code error;
    if (!std::filesystem::is_regular_file(caFile, error)) {
      caFile.clear();
      const char* folder = std::getenv(X509_get_default_cert_dir_env());
      caPath = folder != nullptr ? folder : X509_get_default_cert_dir();
    }
  }
  const int rc = mosquitto_tls_set(mosq, caFile.empty() ? nullptr : caFile.c_str(),
                                   caPath.empty() ? nullptr : caPath.c_str(), nullptr, nullptr, nullptr);
  // The peer's certificate is always checked, its host name too (the library's default).
  if (rc == MOSQ_ERR_SUCCESS) mosquitto_tls_opts_set(mosq, 1, nullptr, nullptr);
  if (rc != MOSQ_ERR_SUCCESS) {
    // Never fall back to plain text: no connection is made at all.
    noteProblem("TLS cannot be set up (" + (caFile.empty() ? caPath : caFile) +
                "): " + mosquitto_strerror(rc));
    session_->holdOff = true;
  }
}

void MQTTClient::noteProblem(const std::string& problem) {
  if (!problem.empty()) {
    if (session_->attemptFailed) return;
    session_->attemptFailed = true;
  }
  std::lock_guard lock(problemMutex_);
  // Each new reason is printed once, not at every attempt a second apart.
  if (!problem.empty() && problem != connectionProblem_)
    std::fprintf(stderr, "twig: MQTT connection to port %u: %s\n", settings_.port, problem.c_str());
  connectionProblem_ = problem;
}

std::string MQTTClient::connectionProblem() const {
  std::lock_guard lock(problemMutex_);
  return connectionProblem_;
}

void MQTTClient::subscribe(const std::string& topic, int qos, SubscriptionHandler handler) {
  post([this, topic, qos, handler = std::move(handler)]() mutable {
    if (session_->mosq == nullptr) return;
    int mid = 0;
    const int rc = mosquitto_subscribe(session_->mosq, &mid, topic.c_str(), qos);
    if (rc == MOSQ_ERR_SUCCESS && handler) session_->subscriptionHandlers[mid] = std::move(handler);
  });
}

void MQTTClient::publishString(const std::string& payload, const std::string& topic, int qos, bool retain,
                               PublishHandler handler) {
  post([this, payload, topic, qos, retain, handler = std::move(handler)]() mutable {
    if (session_->mosq == nullptr) return;
    if (session_->breakBeforeNextPublish) {
      session_->breakBeforeNextPublish = false;
      if (const int socket = mosquitto_socket(session_->mosq); socket >= 0) ::shutdown(socket, SHUT_WR);
    }
    int mid = 0;
    const int rc = mosquitto_publish(session_->mosq, &mid, topic.c_str(), static_cast<int>(payload.size()),
                                     payload.data(), qos, retain);
    if (!handler) return;
    if (qos == 0) {
      handler(mid);
    } else if (rc == MOSQ_ERR_SUCCESS || rc == MOSQ_ERR_NO_CONN || rc == MOSQ_ERR_CONN_LOST ||
               rc == MOSQ_ERR_ERRNO) {
      // Without a connection, or when the socket broke while the message was written, the library
      // has already queued the message and sends it again after the next connect.
      session_->publishHandlers[mid] = std::move(handler);
    } else {
      std::fprintf(stderr, "twig: the MQTT library refused a message for %s: %s\n", topic.c_str(),
                   mosquitto_strerror(rc));
      handler(-1);
    }
  });
}

void MQTTClient::setWill(const std::string& payload, const std::string& topic, int qos, bool retain) {
  post([this, payload, topic, qos, retain] {
    if (session_->mosq == nullptr) return;
    mosquitto_will_set(session_->mosq, topic.c_str(), static_cast<int>(payload.size()), payload.data(), qos,
                       retain);
  });
}

void MQTTClient::breakConnectionBeforeNextPublish() {
  post([this] { session_->breakBeforeNextPublish = true; });
}

void MQTTClient::reconnect() {
  post([this] {
    if (session_->mosq == nullptr || mosquitto_socket(session_->mosq) < 0) return;
    mosquitto_disconnect(session_->mosq);
    mosquitto_loop_write(session_->mosq, 1);  // the DISCONNECT, before the socket is replaced
    connectionEnded(SteadyClock::now());
  });
}

void MQTTClient::disconnect() {
  post([this] {
    session_->holdOff = true;
    if (session_->mosq == nullptr || mosquitto_socket(session_->mosq) < 0) return;
    mosquitto_disconnect(session_->mosq);
    mosquitto_loop_write(session_->mosq, 1);
    connectionEnded(SteadyClock::now());
  });
}

void MQTTClient::endConnection(std::uint64_t connection) {
  post([this, connection] {
    Session& s = *session_;
    if (s.mosq == nullptr || s.connection != connection || !connected_ || mosquitto_socket(s.mosq) < 0)
      return;
    mosquitto_disconnect(s.mosq);
    mosquitto_loop_write(s.mosq, 1);
    connectionEnded(SteadyClock::now() + std::chrono::seconds(settings_.reconnectDelay));
  });
}

void MQTTClient::connectionEnded(std::chrono::steady_clock::time_point nextAttempt) {
  connected_ = false;
  // Subscriptions are renewed by the next connection. Publications are kept: the library sends
  // unacknowledged ones again and their acknowledgement still has to be told.
  session_->subscriptionHandlers.clear();
  session_->nextAttempt = nextAttempt;
}

void MQTTClient::run() {
  Session& s = *session_;
  for (;;) {
    std::deque<std::function<void()>> tasks;
    {
      std::lock_guard lock(s.mutex);
      if (s.stopping) return;
      tasks.swap(s.tasks);
    }
    for (auto& task : tasks) task();
    if (s.mosq == nullptr) {
      pollfd wake{s.wakeFd, POLLIN, 0};
      ::poll(&wake, 1, -1);
      std::uint64_t drained = 0;
      [[maybe_unused]] const auto read = ::read(s.wakeFd, &drained, sizeof drained);
      continue;
    }

    const auto now = SteadyClock::now();
    const auto due = std::max(s.nextAttempt, s.restUntil);
    if (s.started && !s.holdOff && mosquitto_socket(s.mosq) < 0 && now >= due) {
      s.nextAttempt = now + std::chrono::seconds(settings_.reconnectDelay);
      int rc = MOSQ_ERR_SUCCESS;
      s.attemptFailed = false;
      if (s.attempted) {
        rc = mosquitto_reconnect_async(s.mosq);
      } else {
        s.attempted = true;
        rc = mosquitto_connect_async(s.mosq, s.host.c_str(), settings_.port, settings_.keepAlive);
      }
      if (rc == MOSQ_ERR_ERRNO) {
        noteProblem(std::strerror(errno));
      } else if (rc != MOSQ_ERR_SUCCESS) {
        noteProblem(mosquitto_strerror(rc));
      }
    }

    const int socket = mosquitto_socket(s.mosq);
    pollfd fds[2] = {{s.wakeFd, POLLIN, 0}, {socket, 0, 0}};
    nfds_t count = 1;
    // Connected, the loop wakes for the keep-alive only: a ping goes out at most a sixth of the
    // keep-alive late, far within the one and a half keep-alives the broker waits.
    int timeout = std::max(1000, settings_.keepAlive * 1000 / 6);
    if (socket >= 0) {
      fds[1].events = static_cast<short>(POLLIN | (mosquitto_want_write(s.mosq) ? POLLOUT : 0));
      count = 2;
    } else if (s.holdOff) {
      timeout = -1;  // nothing to do until a task arrives
    } else if (s.started) {
      const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(
          std::max(s.nextAttempt, s.restUntil) - SteadyClock::now());
      timeout = static_cast<int>(std::max<long long>(0, std::min<long long>(wait.count(), 1000)));
    }
    if (::poll(fds, count, timeout) < 0) continue;
    if (fds[0].revents != 0) {
      std::uint64_t drained = 0;
      [[maybe_unused]] const auto read = ::read(s.wakeFd, &drained, sizeof drained);
    }
    if (socket >= 0) {
      if ((fds[1].revents & (POLLIN | POLLHUP | POLLERR)) != 0) mosquitto_loop_read(s.mosq, 1);
      if (mosquitto_socket(s.mosq) >= 0 &&
          ((fds[1].revents & POLLOUT) != 0 || mosquitto_want_write(s.mosq))) {
        mosquitto_loop_write(s.mosq, 1);
      }
      if (mosquitto_socket(s.mosq) >= 0) mosquitto_loop_misc(s.mosq);
    }
  }
}

}  // namespace twig
