#include "platform/NotificationCenter.h"

#include <algorithm>
#include <condition_variable>
#include <thread>

namespace twig {

struct ObserverToken::Entry {
  std::string name;
  NotificationCenter::Observer observer;
  std::mutex mutex;
  std::condition_variable idle;
  bool removed = false;
  // Threads currently inside this observer; removal from another thread waits for them.
  std::vector<std::thread::id> running;
};

ObserverToken::ObserverToken(ObserverToken&& other) noexcept
    : center_(std::move(other.center_)), entry_(std::move(other.entry_)) {}

ObserverToken& ObserverToken::operator=(ObserverToken&& other) noexcept {
  if (this != &other) {
    reset();
    center_ = std::move(other.center_);
    entry_ = std::move(other.entry_);
  }
  return *this;
}

void ObserverToken::reset() {
  if (!entry_) return;
  auto entry = std::move(entry_);
  if (auto center = center_.lock()) (*center)->remove(entry);
  std::unique_lock lock(entry->mutex);
  entry->removed = true;
  const auto me = std::this_thread::get_id();
  entry->idle.wait(lock, [&] {
    return std::all_of(entry->running.begin(), entry->running.end(), [&](auto id) { return id == me; });
  });
}

NotificationCenter::NotificationCenter() : self_(std::make_shared<NotificationCenter*>(this)) {}

NotificationCenter::~NotificationCenter() = default;

ObserverToken NotificationCenter::addObserver(const std::string& name, Observer observer) {
  auto entry = std::make_shared<ObserverToken::Entry>();
  entry->name = name;
  entry->observer = std::move(observer);
  {
    std::lock_guard lock(mutex_);
    observers_[name].push_back(entry);
  }
  return ObserverToken(self_, entry);
}

void NotificationCenter::remove(const std::shared_ptr<ObserverToken::Entry>& entry) {
  std::lock_guard lock(mutex_);
  auto it = observers_.find(entry->name);
  if (it == observers_.end()) return;
  auto& list = it->second;
  list.erase(std::remove(list.begin(), list.end(), entry), list.end());
  if (list.empty()) observers_.erase(it);
}

void NotificationCenter::post(const std::string& name, std::any object) {
  std::vector<std::shared_ptr<ObserverToken::Entry>> snapshot;
  {
    std::lock_guard lock(mutex_);
    auto it = observers_.find(name);
    if (it == observers_.end()) return;
    snapshot = it->second;
  }
  const Notification notification{name, std::move(object)};
  const auto me = std::this_thread::get_id();
  for (const auto& entry : snapshot) {
    {
      std::lock_guard lock(entry->mutex);
      if (entry->removed) continue;
      entry->running.push_back(me);
    }
    try {
      entry->observer(notification);
    } catch (...) {
      std::lock_guard lock(entry->mutex);
      entry->running.erase(std::find(entry->running.begin(), entry->running.end(), me));
      entry->idle.notify_all();
      throw;
    }
    std::lock_guard lock(entry->mutex);
    entry->running.erase(std::find(entry->running.begin(), entry->running.end(), me));
    entry->idle.notify_all();
  }
}

std::size_t NotificationCenter::observerCount(const std::string& name) const {
  std::lock_guard lock(mutex_);
  auto it = observers_.find(name);
  return it == observers_.end() ? 0 : it->second.size();
}

}  // namespace twig
