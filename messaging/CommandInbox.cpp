#include "messaging/CommandInbox.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <sstream>

#include "messaging/Protocol.h"
#include "platform/AtomicFile.h"
#include "platform/BoundedJson.h"
#include "platform/Json.h"

namespace twig {

namespace {

std::string receivedRecord(const std::string& commandUuid, const std::string& payload, long long nowMs) {
  Json record = Json::object();
  record["r"] = commandUuid;
  record["t"] = nowMs;
  record["p"] = payload;
  return record.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n";
}

}  // namespace

CommandInbox::CommandInbox(std::filesystem::path file) : file_(std::move(file)) {}

CommandInbox::~CommandInbox() {
  if (fd_ >= 0) ::close(fd_);
}

bool CommandInbox::keeps(const std::string& commandName) {
  return commandName.rfind(protocol::kRequestPrefix, 0) == 0;
}

std::vector<std::string> CommandInbox::takeUnanswered(long long nowMs) {
  std::lock_guard lock(mutex_);
  struct Open {
    std::size_t order;
    long long at;
    std::string payload;
  };
  std::map<std::string, Open> open;
  std::size_t order = 0;
  if (const auto text = AtomicFile::read(file_)) {
    std::istringstream lines(*text);
    std::string line;
    while (std::getline(lines, line)) {
      // A line cut short by a kill in the middle of its write is not JSON and is skipped.
      const Json record = BoundedJson::parseOrDiscard(line, BoundedJson::kMaxStoredDepth);
      if (!record.is_object()) continue;
      if (const auto answered = record.find("a"); answered != record.end() && answered->is_string()) {
        open.erase(answered->get<std::string>());
        continue;
      }
      const auto id = record.find("r");
      const auto at = record.find("t");
      const auto payload = record.find("p");
      if (id == record.end() || !id->is_string() || at == record.end() || !at->is_number_integer() ||
          payload == record.end() || !payload->is_string())
        continue;
      open[id->get<std::string>()] = {order++, at->get<long long>(), payload->get<std::string>()};
    }
  }
  std::vector<std::pair<std::size_t, std::string>> kept;
  openRecords_.clear();
  openIds_.clear();
  const long long oldest =
      nowMs - std::chrono::duration_cast<std::chrono::milliseconds>(kReplayWindow).count();
  for (const auto& [id, entry] : open) {
    if (entry.at < oldest) continue;
    kept.emplace_back(entry.order, entry.payload);
    openRecords_.emplace_back(id, receivedRecord(id, entry.payload, entry.at));
    openIds_.insert(id);
  }
  std::sort(kept.begin(), kept.end());
  // The file starts again with just these: they stay open until their answers are listed.
  compactLocked();
  std::vector<std::string> payloads;
  for (auto& [position, payload] : kept) payloads.push_back(std::move(payload));
  return payloads;
}

bool CommandInbox::received(const std::string& commandUuid, const std::string& payload, long long nowMs) {
  if (commandUuid.empty()) return true;  // nothing to tell its answer by
  std::lock_guard lock(mutex_);
  if (!openIds_.insert(commandUuid).second) return true;  // run again from here, already recorded
  std::string line = receivedRecord(commandUuid, payload, nowMs);
  openRecords_.emplace_back(commandUuid, line);
  return appendLocked(line);
}

void CommandInbox::answered(const std::string& commandUuid) {
  std::lock_guard lock(mutex_);
  if (openIds_.erase(commandUuid) == 0) return;
  std::erase_if(openRecords_, [&](const auto& record) { return record.first == commandUuid; });
  Json record = Json::object();
  record["a"] = commandUuid;
  appendLocked(record.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n");
  if (bytes_ > kCompactBytes) compactLocked();
}

bool CommandInbox::holds(const std::string& commandUuid) const {
  std::lock_guard lock(mutex_);
  return openIds_.count(commandUuid) > 0;
}

std::size_t CommandInbox::open() const {
  std::lock_guard lock(mutex_);
  return openIds_.size();
}

bool CommandInbox::appendLocked(const std::string& line) {
  if (fd_ < 0) {
    std::error_code error;
    std::filesystem::create_directories(file_.parent_path(), error);
    fd_ = ::open(file_.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd_ < 0) return false;
  }
  // One write per record: a record is either whole in the file or (killed mid-write) a cut line.
  const ssize_t written = ::write(fd_, line.data(), line.size());
  if (written > 0) bytes_ += static_cast<std::size_t>(written);
  return written == static_cast<ssize_t>(line.size());
}

void CommandInbox::compactLocked() {
  std::string content;
  for (const auto& record : openRecords_) content += record.second;
  // Replaced whole, by rename: a kill leaves the old file or the new one, never a mix.
  if (!AtomicFile::write(file_, content, 0600, /*flushFolder=*/false)) return;
  if (fd_ >= 0) ::close(fd_);
  fd_ = ::open(file_.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
  bytes_ = content.size();
}

}  // namespace twig
