#include "tools/service/ServiceDatabase.h"

#include <openssl/rand.h>

#include <ctime>

#include "api/Utils.h"
#include "identity/EnrolmentBody.h"
#include "platform/BoundedJson.h"

namespace twig::service {

namespace {

constexpr const char* kTooFewPoints = "刺猬币不足";

std::string randomDigits(int count) {
  unsigned char bytes[16] = {};
  RAND_bytes(bytes, sizeof bytes);
  std::string digits;
  for (int i = 0; i < count; ++i) digits.push_back(static_cast<char>('0' + bytes[i] % 10));
  return digits;
}

// Week and month starts in the service's local time, for the points statistics.
std::int64_t startOf(std::int64_t nowMilliseconds, bool month, int back) {
  std::time_t now = static_cast<std::time_t>(nowMilliseconds / 1000);
  std::tm local{};
  localtime_r(&now, &local);
  local.tm_hour = 0;
  local.tm_min = 0;
  local.tm_sec = 0;
  if (month) {
    local.tm_mday = 1;
    local.tm_mon -= back;
  } else {
    local.tm_mday -= (local.tm_wday + 6) % 7 + 7 * back;  // weeks start on Monday
  }
  local.tm_isdst = -1;
  return static_cast<std::int64_t>(std::mktime(&local)) * 1000;
}

}  // namespace

std::unique_ptr<ServiceDatabase> ServiceDatabase::open(const std::filesystem::path& file) {
  auto database = SqliteDatabase::open(file);
  if (!database) return nullptr;
  std::unique_ptr<ServiceDatabase> service(new ServiceDatabase(std::move(database)));
  service->createSchema();
  return service;
}

void ServiceDatabase::createSchema() {
  const char* statements[] = {
      "create table if not exists parents(parentDN text primary key, parentDeviceId text)",
      "create table if not exists bind_codes(code text primary key, parentDN text, usedBy text)",
      "create table if not exists devices(deviceId text primary key, parentDN text, deviceName text, "
      "platform text, "
      "token text, bound integer)",
      "create table if not exists catalogue(appPackage text primary key, appName text, version text, tagIds "
      "text)",
      "create table if not exists device_apps(deviceId text, appPackage text, appName text, processName "
      "text, "
      "primary key(deviceId, appPackage))",
      "create table if not exists subjects(subjectId integer primary key, name text, type integer, iconUrl "
      "text, "
      "bonuspoint integer, description text)",
      "create table if not exists bills(billId text primary key, deviceId text, parentDN text, type integer, "
      "subjectId integer, bonuspoint integer, status integer, description text, pictures text, comments "
      "text, "
      "billMd5 text unique, createTime integer, updateTime integer)",
      "create table if not exists settings(key text primary key, value text)",
      "create table if not exists pending(messageId integer primary key autoincrement, deviceId text, "
      "payload text, "
      "createTime integer, delivered integer default 0)",
      "create table if not exists received(seq integer primary key autoincrement, deviceId text, topic text, "
      "payload text, receivedAt integer)",
  };
  std::lock_guard lock(mutex_);
  for (const char* statement : statements) database_->execute(statement);
  // A starting catalogue: a few well-known applications with their store categories, and the
  // family's housework subjects (types 1 and 3 are not housework and are not offered).
  const auto known = database_->query("select count(*) as n from catalogue");
  if (!known || known->empty() || known->front().integer("n").value_or(0) != 0) return;
  // All of it or none of it: a half-seeded catalogue would never be completed.
  database_->transaction([&] {
    const std::vector<std::vector<std::string>> catalogue = {
        {"com.tencent.xin", "微信", "8.0", "[6005]"},
        {"com.tencent.mqq", "QQ", "8.9", "[6005]"},
        {"com.tencent.smoba", "王者荣耀", "3.1", "[6014,7001]"},
        {"com.example.game", "Example Game", "1.0", "[7005]"},
        {"com.example.reader", "Example Reader", "2.0", "[6018]"},
    };
    for (const auto& entry : catalogue) {
      if (!database_->execute("insert into catalogue values(?, ?, ?, ?)",
                              {entry[0], entry[1], entry[2], entry[3]}))
        return false;
    }
    const std::vector<std::tuple<int, std::string, int, int, std::string>> subjects = {
        {1, "洗碗", 2, 5, "把碗洗干净放好"},         {2, "扫地", 2, 3, "扫一个房间"},
        {3, "叠衣服", 2, 2, "叠好自己的衣服"},       {4, "倒垃圾", 2, 1, "把垃圾带下楼"},
        {10000, "特别奖励", 1, 0, "孩子的特别表现"}, {5, "兑换时间", 3, 0, "用刺猬币兑换时间"},
    };
    for (const auto& [id, name, type, points, description] : subjects) {
      if (!database_->execute("insert into subjects values(?, ?, ?, ?, ?, ?)",
                              {static_cast<std::int64_t>(id), name, static_cast<std::int64_t>(type),
                               std::string(), static_cast<std::int64_t>(points), description}))
        return false;
    }
    return true;
  });
}

std::optional<std::string> ServiceDatabase::text(const std::string& sql,
                                                 const std::vector<SqlValue>& parameters) {
  const auto rows = database_->query(sql, parameters);
  if (!rows || rows->empty()) return std::nullopt;
  return rows->front().firstText();
}

std::optional<std::int64_t> ServiceDatabase::integer(const std::string& sql,
                                                     const std::vector<SqlValue>& parameters) {
  const auto rows = database_->query(sql, parameters);
  if (!rows || rows->empty()) return std::nullopt;
  return rows->front().firstInteger();
}

ServiceDatabase::Parent ServiceDatabase::parent(const std::optional<std::string>& parentDN) {
  std::lock_guard lock(mutex_);
  const auto existing = parentDN ? database_->query("select * from parents where parentDN = ?", {*parentDN})
                                 : database_->query("select * from parents order by rowid limit 1");
  if (existing && !existing->empty()) {
    return {existing->front().text("parentDN").value_or(""),
            existing->front().text("parentDeviceId").value_or("")};
  }
  Parent made{parentDN.value_or("138" + randomDigits(8)), "parent-" + randomDigits(12)};
  database_->execute("insert into parents values(?, ?)", {made.parentDN, made.parentDeviceId});
  return made;
}

std::optional<std::string> ServiceDatabase::createBindCode(const Parent& parent) {
  std::lock_guard lock(mutex_);
  // A few tries step over codes already handed out; a database that refuses every insert ends it.
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string code = randomDigits(6);
    // The device binds the demo code on its own, without asking the service.
    if (code == EnrolmentBody::kDemoCode) continue;
    if (database_->execute("insert into bind_codes values(?, ?, null)", {code, parent.parentDN})) return code;
  }
  return std::nullopt;
}

ServiceDatabase::Enrolment ServiceDatabase::enroll(const std::string& code, const Json& body) {
  std::lock_guard lock(mutex_);
  const auto rows = database_->query(
      "select p.parentDN, p.parentDeviceId from bind_codes c join parents p on p.parentDN = c.parentDN "
      "where c.code = ? and c.usedBy is null",
      {code});
  if (!rows || rows->empty()) return {};
  const Parent parent{rows->front().text("parentDN").value_or(""),
                      rows->front().text("parentDeviceId").value_or("")};
  const std::string deviceId = Utils::stringValue(body, "deviceId");
  // The code is used up only if the device is recorded, and the other way round: a failure leaves the
  // code free for another try instead of a used code with no device behind it.
  const bool recorded = database_->transaction([&] {
    return database_->execute("update bind_codes set usedBy = ? where code = ?", {deviceId, code}) &&
           database_->execute("insert or replace into devices values(?, ?, ?, ?, ?, 1)",
                              {deviceId, parent.parentDN, Utils::stringValue(body, "deviceName"),
                               Utils::stringValue(body, "platform"), Utils::stringValue(body, "token")});
  });
  if (!recorded) return {std::nullopt, true};
  return {parent, false};
}

std::optional<std::string> ServiceDatabase::parentOfDevice(const std::string& deviceId) {
  std::lock_guard lock(mutex_);
  return text("select parentDN from devices where deviceId = ? and bound = 1", {deviceId});
}

bool ServiceDatabase::unbind(const std::string& deviceId) {
  std::lock_guard lock(mutex_);
  if (!text("select deviceId from devices where deviceId = ? and bound = 1", {deviceId})) return false;
  return database_->execute("update devices set bound = 0 where deviceId = ?", {deviceId});
}

Json ServiceDatabase::devices() {
  std::lock_guard lock(mutex_);
  Json list = Json::array();
  if (auto rows = database_->query("select * from devices order by rowid")) {
    for (const auto& row : *rows) {
      list.push_back(Json{{"deviceId", row.text("deviceId").value_or("")},
                          {"parentDN", row.text("parentDN").value_or("")},
                          {"deviceName", row.text("deviceName").value_or("")},
                          {"bound", row.integer("bound").value_or(0) == 1}});
    }
  }
  return list;
}

Json ServiceDatabase::registerApps(const std::string& deviceId, const Json& uploads) {
  std::lock_guard lock(mutex_);
  Json apps = Json::array();
  if (!uploads.is_array()) return apps;
  for (const auto& upload : uploads) {
    const std::string package = Utils::stringValue(upload, "appPackage");
    if (package.empty()) continue;
    const std::string name = Utils::stringValue(upload, "appName");
    const std::string process = Utils::stringValue(upload, "processName");
    database_->execute("insert or replace into device_apps values(?, ?, ?, ?)",
                       {deviceId, package, name, process});
    Json record = {{"appPackage", package},
                   {"appName", name},
                   {"version", ""},
                   {"processName", process},
                   {"tagIds", nullptr}};
    if (auto known = database_->query("select * from catalogue where appPackage = ?", {package});
        known && !known->empty()) {
      record["version"] = known->front().text("version").value_or("");
      const Json tags = BoundedJson::parseOrDiscard(known->front().text("tagIds").value_or("null"));
      if (!tags.is_discarded()) record["tagIds"] = tags;
    }
    apps.push_back(std::move(record));
  }
  return apps;
}

Json ServiceDatabase::subjects() {
  std::lock_guard lock(mutex_);
  Json list = Json::array();
  if (auto rows = database_->query("select * from subjects order by rowid")) {
    for (const auto& row : *rows) {
      list.push_back(Json{{"subjectId", row.integer("subjectId").value_or(0)},
                          {"name", row.text("name").value_or("")},
                          {"type", row.integer("type").value_or(0)},
                          {"iconUrl", row.text("iconUrl").value_or("")},
                          {"thisDN", ""},
                          {"familyId", 1},
                          {"bonuspoint", row.integer("bonuspoint").value_or(0)},
                          {"description", row.text("description").value_or("")}});
    }
  }
  return list;
}

Json ServiceDatabase::statistics(const std::string& deviceId, std::int64_t now) {
  std::lock_guard lock(mutex_);
  auto sumFrom = [&](std::int64_t from, std::int64_t to) {
    return integer(
               "select coalesce(sum(bonuspoint), 0) from bills where deviceId = ? and status = 1 and "
               "createTime >= ? and createTime < ?",
               {deviceId, from, to})
        .value_or(0);
  };
  const std::int64_t far = std::int64_t{1} << 60;
  return Json{{"total", sumFrom(0, far)},
              {"currentMonth", sumFrom(startOf(now, true, 0), far)},
              {"currentWeek", sumFrom(startOf(now, false, 0), far)},
              {"preMonth", sumFrom(startOf(now, true, 1), startOf(now, true, 0))},
              {"preWeek", sumFrom(startOf(now, false, 1), startOf(now, false, 0))}};
}

Json ServiceDatabase::bills(const std::string& deviceId, int page, int pageSize) {
  std::lock_guard lock(mutex_);
  Json list = Json::array();
  const auto rows = database_->query(
      "select b.*, s.name, s.type as subjectType, s.iconUrl from bills b left join subjects s on s.subjectId "
      "= b.subjectId "
      "where b.deviceId = ? order by b.createTime desc, b.rowid desc limit ? offset ?",
      {deviceId, static_cast<std::int64_t>(pageSize), static_cast<std::int64_t>((page - 1) * pageSize)});
  if (!rows) return list;
  for (const auto& row : *rows) {
    const Json pictures = BoundedJson::parseOrDiscard(row.text("pictures").value_or("null"));
    const Json comments = BoundedJson::parseOrDiscard(row.text("comments").value_or("[]"));
    list.push_back(Json{{"billId", row.text("billId").value_or("")},
                        {"childDeviceId", deviceId},
                        {"parentDN", row.text("parentDN").value_or("")},
                        {"type", row.integer("type").value_or(0)},
                        {"subject",
                         {{"name", row.text("name").value_or("")},
                          {"type", row.integer("subjectType").value_or(0)},
                          {"iconUrl", row.text("iconUrl").value_or("")},
                          {"subjectId", row.text("subjectId").value_or("")}}},
                        {"pictures", pictures.is_discarded() ? Json(nullptr) : pictures},
                        {"comments", comments.is_discarded() ? Json::array() : comments},
                        {"bonuspoint", row.integer("bonuspoint").value_or(0)},
                        {"status", row.integer("status").value_or(0)},
                        {"createTime", row.integer("createTime").value_or(0)},
                        {"updateTime", row.integer("updateTime").value_or(0)},
                        {"description", row.text("description").value_or("")}});
  }
  return list;
}

std::optional<std::string> ServiceDatabase::addBill(const std::string& deviceId, const Json& body,
                                                    std::int64_t now) {
  std::lock_guard lock(mutex_);
  const std::string md5 = Utils::stringValue(body, "billMd5");
  if (md5.empty()) return "申请缺少校验码";
  if (text("select billId from bills where billMd5 = ?", {md5})) return "这条申请已经提交过了";
  const std::int64_t type = Utils::integerValue(body.value("type", Json(0)));
  std::int64_t subjectId = Utils::integerValue(body.value("subjectId", Json(0)));
  // An exchange of points for time (bill type 2) always names subject 1; the catalogue keeps the
  // exchange as its subject of type 3, which is what the bill shows.
  if (type == 2)
    subjectId =
        integer("select subjectId from subjects where type = 3 order by rowid", {}).value_or(subjectId);
  std::int64_t points = 0;
  if (body.contains("bonuspoint")) {
    points = Utils::integerValue(body["bonuspoint"]);
  } else {
    points = integer("select bonuspoint from subjects where subjectId = ?", {subjectId}).value_or(0);
  }
  if (points < 0) {
    const std::int64_t total = integer(
                                   "select coalesce(sum(bonuspoint), 0) from bills where deviceId = ? and "
                                   "(status = 1 or (status = 0 and bonuspoint < 0))",
                                   {deviceId})
                                   .value_or(0);
    if (total + points < 0) return kTooFewPoints;
  }
  const std::string parentDN =
      text("select parentDN from devices where deviceId = ?", {deviceId}).value_or("");
  const std::string billId = "B" + std::to_string(now) + randomDigits(4);
  const Json pictures = body.contains("pictures") ? body["pictures"] : Json(nullptr);
  database_->execute("insert into bills values(?, ?, ?, ?, ?, ?, 0, ?, ?, '[]', ?, ?, ?)",
                     {billId, deviceId, parentDN, type, subjectId, points,
                      Utils::stringValue(body, "description"), pictures.dump(), md5, now, now});
  return std::nullopt;
}

std::optional<std::string> ServiceDatabase::setBillStatus(const std::string& billId, int status,
                                                          std::int64_t now,
                                                          std::optional<std::int64_t> points,
                                                          std::string* refusal) {
  std::lock_guard lock(mutex_);
  const auto device = text("select deviceId from bills where billId = ?", {billId});
  if (!device) return std::nullopt;
  const std::int64_t before = integer("select status from bills where billId = ?", {billId}).value_or(0);
  const std::int64_t spends =
      points.value_or(integer("select bonuspoint from bills where billId = ?", {billId}).value_or(0));
  if (status == 1 && before != 1 && spends < 0) {
    const std::int64_t approved =
        integer("select coalesce(sum(bonuspoint), 0) from bills where deviceId = ? and status = 1", {*device})
            .value_or(0);
    if (approved + spends < 0) {
      if (refusal != nullptr) *refusal = kTooFewPoints;
      return device;
    }
  }
  if (points) {
    database_->execute("update bills set status = ?, bonuspoint = ?, updateTime = ? where billId = ?",
                       {static_cast<std::int64_t>(status), *points, now, billId});
  } else {
    database_->execute("update bills set status = ?, updateTime = ? where billId = ?",
                       {static_cast<std::int64_t>(status), now, billId});
  }
  return device;
}

std::optional<std::int64_t> ServiceDatabase::billType(const std::string& billId) {
  std::lock_guard lock(mutex_);
  return integer("select type from bills where billId = ?", {billId});
}

std::optional<std::int64_t> ServiceDatabase::addSubject(const std::string& name, std::int64_t points,
                                                        const std::string& description) {
  std::lock_guard lock(mutex_);
  // Below the special reward's 10000, after the highest housework id so far.
  const std::int64_t id =
      integer("select coalesce(max(subjectId), 0) + 1 from subjects where subjectId < 10000", {}).value_or(1);
  if (id >= 10000) return std::nullopt;
  if (!database_->execute("insert into subjects values(?, ?, 2, '', ?, ?)", {id, name, points, description}))
    return std::nullopt;
  return id;
}

std::optional<std::string> ServiceDatabase::addComment(const std::string& billId, const std::string& parentDN,
                                                       const std::string& comment, std::int64_t now) {
  std::lock_guard lock(mutex_);
  const auto rows = database_->query("select deviceId, comments from bills where billId = ?", {billId});
  if (!rows || rows->empty()) return std::nullopt;
  Json comments = BoundedJson::parseOrDiscard(rows->front().text("comments").value_or("[]"));
  if (!comments.is_array()) comments = Json::array();
  comments.push_back(Json{{"commentId", "C" + std::to_string(now) + randomDigits(3)},
                          {"comment", comment},
                          {"thisDN", parentDN},
                          {"createTime", now}});
  database_->execute("update bills set comments = ?, updateTime = ? where billId = ?",
                     {comments.dump(), now, billId});
  return rows->front().text("deviceId");
}

std::string ServiceDatabase::setting(const std::string& key, const std::string& fallback) {
  std::lock_guard lock(mutex_);
  return text("select value from settings where key = ?", {key}).value_or(fallback);
}

void ServiceDatabase::setSetting(const std::string& key, const std::string& value) {
  std::lock_guard lock(mutex_);
  database_->execute("insert or replace into settings values(?, ?)", {key, value});
}

void ServiceDatabase::queueCommand(const std::string& deviceId, const Json& payload, std::int64_t now) {
  std::lock_guard lock(mutex_);
  database_->execute("insert into pending(deviceId, payload, createTime) values(?, ?, ?)",
                     {deviceId, payload.dump(), now});
}

void ServiceDatabase::acknowledge(const std::string& deviceId, const Json& messageId) {
  std::lock_guard lock(mutex_);
  database_->execute("update pending set delivered = 1 where deviceId = ? and messageId = ?",
                     {deviceId, Utils::integerValue(messageId)});
}

std::optional<Json> ServiceDatabase::nextPending(const std::string& deviceId) {
  std::lock_guard lock(mutex_);
  const auto rows = database_->query(
      "select * from pending where deviceId = ? and delivered = 0 order by messageId limit 1", {deviceId});
  if (!rows || rows->empty()) return std::nullopt;
  const auto& row = rows->front();
  return Json{{"messageId", row.text("messageId").value_or("")},
              {"payload", row.text("payload").value_or("")},
              {"deviceId", deviceId},
              {"thisDN", ""},
              {"type", "1"},
              {"status", "0"},
              {"reasonCode", "0"},
              {"retryNum", "0"},
              {"createTime", row.text("createTime").value_or("")},
              {"updateTime", row.text("createTime").value_or("")}};
}

std::int64_t ServiceDatabase::recordMessage(const std::string& deviceId, const std::string& topic,
                                            const Json& payload, std::int64_t now) {
  std::lock_guard lock(mutex_);
  database_->execute("insert into received(deviceId, topic, payload, receivedAt) values(?, ?, ?, ?)",
                     {deviceId, topic, payload.dump(), now});
  return integer("select last_insert_rowid()", {}).value_or(0);
}

Json ServiceDatabase::messagesAfter(const std::string& deviceId, std::int64_t after) {
  std::lock_guard lock(mutex_);
  Json list = Json::array();
  const auto rows =
      deviceId.empty()
          ? database_->query("select * from received where seq > ? order by seq", {after})
          : database_->query("select * from received where deviceId = ? and seq > ? order by seq",
                             {deviceId, after});
  if (!rows) return list;
  for (const auto& row : *rows) {
    const Json payload =
        BoundedJson::parseOrDiscard(row.text("payload").value_or("null"), BoundedJson::kMaxStoredDepth);
    list.push_back(Json{{"seq", row.integer("seq").value_or(0)},
                        {"deviceId", row.text("deviceId").value_or("")},
                        {"topic", row.text("topic").value_or("")},
                        {"receivedAt", row.integer("receivedAt").value_or(0)},
                        {"payload", payload.is_discarded() ? Json(nullptr) : payload}});
  }
  return list;
}

std::int64_t ServiceDatabase::lastSequence() {
  std::lock_guard lock(mutex_);
  return integer("select coalesce(max(seq), 0) from received", {}).value_or(0);
}

}  // namespace twig::service
