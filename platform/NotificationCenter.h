#pragma once

#include <any>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace twig {

struct Notification {
  std::string name;
  std::any object;  // empty when the notification carries none
};

class NotificationCenter;

// Keeps one observation alive; dropping it (or calling reset) removes the observer. After reset()
// returns, the observer is not running on any other thread and will not be called again.
class ObserverToken {
 public:
  ObserverToken() = default;
  ObserverToken(ObserverToken&& other) noexcept;
  ObserverToken& operator=(ObserverToken&& other) noexcept;
  ObserverToken(const ObserverToken&) = delete;
  ObserverToken& operator=(const ObserverToken&) = delete;
  ~ObserverToken() { reset(); }
  void reset();
  explicit operator bool() const { return static_cast<bool>(entry_); }

 private:
  friend class NotificationCenter;
  struct Entry;
  ObserverToken(std::weak_ptr<NotificationCenter*> center, std::shared_ptr<Entry> entry)
      : center_(std::move(center)), entry_(std::move(entry)) {}
  std::weak_ptr<NotificationCenter*> center_;
  std::shared_ptr<Entry> entry_;
};

// In-process named notifications. Delivery is synchronous on the posting thread, in the order the
// observers were added. Observers may add or remove observers (themselves included) and post while
// being called.
class NotificationCenter {
 public:
  using Observer = std::function<void(const Notification&)>;

  NotificationCenter();
  ~NotificationCenter();
  NotificationCenter(const NotificationCenter&) = delete;
  NotificationCenter& operator=(const NotificationCenter&) = delete;

  [[nodiscard]] ObserverToken addObserver(const std::string& name, Observer observer);
  void post(const std::string& name, std::any object = {});
  std::size_t observerCount(const std::string& name) const;

 private:
  friend class ObserverToken;
  void remove(const std::shared_ptr<ObserverToken::Entry>& entry);

  mutable std::mutex mutex_;
  std::unordered_map<std::string, std::vector<std::shared_ptr<ObserverToken::Entry>>> observers_;
  // Lets tokens outlive the centre safely.
  std::shared_ptr<NotificationCenter*> self_;
};

}  // namespace twig
