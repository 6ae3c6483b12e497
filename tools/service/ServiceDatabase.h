#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/Json.h"
#include "storage/SqliteDatabase.h"

namespace twig::service {

// The local service's state in one SQLite file: parents and binding codes, bound devices, the
// application catalogue and each device's applications, housework subjects, bills, settings,
// commands waiting to be pulled and every message the devices sent. One connection, one lock:
// the HTTP threads and the MQTT thread take turns.
class ServiceDatabase {
 public:
  static std::unique_ptr<ServiceDatabase> open(const std::filesystem::path& file);

  struct Parent {
    std::string parentDN;
    std::string parentDeviceId;
  };
  // The parent with this number (made when new), or the first parent (made when there is none).
  Parent parent(const std::optional<std::string>& parentDN);
  // A fresh six-digit code, never the device's built-in demo code; nothing when the database refuses.
  std::optional<std::string> createBindCode(const Parent& parent);
  // Binds the device with the code: the parent, or why not (the code is unknown or already used, or
  // the binding could not be stored, which leaves the code unused).
  struct Enrolment {
    std::optional<Parent> parent;
    bool storageFailed = false;
  };
  Enrolment enroll(const std::string& code, const Json& body);
  std::optional<std::string> parentOfDevice(const std::string& deviceId);  // nothing when not bound
  bool unbind(const std::string& deviceId);
  Json devices();

  // Stores the uploaded applications and answers them as the catalogue knows them.
  Json registerApps(const std::string& deviceId, const Json& uploads);

  Json subjects();
  Json statistics(const std::string& deviceId, std::int64_t nowMilliseconds);
  Json bills(const std::string& deviceId, int page, int pageSize);
  // Records a bill; an error text (already recorded, or not enough points) when it is refused. A
  // bill that spends points must be covered by the approved points less what the exchanges still
  // waiting for the parent would spend, so that two applications cannot spend the same points.
  std::optional<std::string> addBill(const std::string& deviceId, const Json& body,
                                     std::int64_t nowMilliseconds);
  // Status 1 approves, 2 refuses; nothing changed for an unknown bill. Gives the bill's device.
  // `points` sets the bill's points as well (a special reward's subject has none of its own). The
  // approval of a bill that spends points is checked again against the approved points; when they
  // no longer cover it, nothing changes and `refusal` (when given) says why.
  std::optional<std::string> setBillStatus(const std::string& billId, int status,
                                           std::int64_t nowMilliseconds,
                                           std::optional<std::int64_t> points = std::nullopt,
                                           std::string* refusal = nullptr);
  // The type of a bill; nothing for an unknown one.
  std::optional<std::int64_t> billType(const std::string& billId);
  // A new housework subject (type 2) the child can claim; gives its id, nothing when not stored.
  std::optional<std::int64_t> addSubject(const std::string& name, std::int64_t points,
                                         const std::string& description);
  std::optional<std::string> addComment(const std::string& billId, const std::string& parentDN,
                                        const std::string& text, std::int64_t nowMilliseconds);

  std::string setting(const std::string& key, const std::string& fallback);
  void setSetting(const std::string& key, const std::string& value);

  // Commands for the pull cycle: queued when sent, acknowledged by the device.
  void queueCommand(const std::string& deviceId, const Json& payload, std::int64_t nowMilliseconds);
  void acknowledge(const std::string& deviceId, const Json& messageId);
  std::optional<Json> nextPending(const std::string& deviceId);

  // Everything the devices published; `after` is the last sequence number already seen.
  std::int64_t recordMessage(const std::string& deviceId, const std::string& topic, const Json& payload,
                             std::int64_t nowMilliseconds);
  Json messagesAfter(const std::string& deviceId, std::int64_t after);
  std::int64_t lastSequence();

 private:
  explicit ServiceDatabase(std::unique_ptr<SqliteDatabase> database) : database_(std::move(database)) {}
  void createSchema();
  // The first column of the first row: as text, or as a whole number.
  std::optional<std::string> text(const std::string& sql, const std::vector<SqlValue>& parameters);
  std::optional<std::int64_t> integer(const std::string& sql, const std::vector<SqlValue>& parameters);

  std::mutex mutex_;
  std::unique_ptr<SqliteDatabase> database_;
};

}  // namespace twig::service
