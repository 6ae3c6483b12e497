#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace twig {

// The commands received and not answered yet, in a file of their own, so that a command is not
// lost when the process is killed between its arrival and the listing of its answer. The MQTT
// library acknowledges a command as soon as the agent has taken it, so the agent records it first:
// one plain append (no flush to disk: a killed process's writes are the kernel's and stay), and
// one more when the broker has acknowledged its answer (or the answer is listed in the backlog).
// The next start runs again what has no answer.
//
// Only requests ("Request…" commands, each answered under its "commandUuid") are kept. Callable
// from any thread.
class CommandInbox {
 public:
  // Requests older than this are not run again at the next start: the parent gave up on them.
  static constexpr std::chrono::minutes kReplayWindow{10};
  // The file is rewritten without its settled records once it grows beyond this.
  static constexpr std::size_t kCompactBytes = 256 * 1024;

  explicit CommandInbox(std::filesystem::path file);
  ~CommandInbox();
  CommandInbox(const CommandInbox&) = delete;
  CommandInbox& operator=(const CommandInbox&) = delete;

  // Whether a command of this name is kept (a request).
  static bool keeps(const std::string& commandName);
  // The payloads received and not answered in the file left by the last run (within the replay
  // window of `nowMs`), in arrival order; the file starts afresh. Call once, at start.
  std::vector<std::string> takeUnanswered(long long nowMs);
  // Records a received request. False when it could not be written.
  bool received(const std::string& commandUuid, const std::string& payload, long long nowMs);
  // Records that the request's answer is listed, or acknowledged by the broker; other identifiers
  // are ignored.
  void answered(const std::string& commandUuid);
  // Whether the request is recorded and not answered yet (an empty identifier never is).
  bool holds(const std::string& commandUuid) const;
  std::size_t open() const;

 private:
  bool appendLocked(const std::string& line);
  void compactLocked();

  std::filesystem::path file_;
  mutable std::mutex mutex_;
  int fd_ = -1;
  std::size_t bytes_ = 0;
  // The open requests' records, by identifier, as written (for compaction).
  std::vector<std::pair<std::string, std::string>> openRecords_;
  std::set<std::string> openIds_;
};

}  // namespace twig
