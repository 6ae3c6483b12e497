#include "storage/OAKFMDBManage.h"

#include <algorithm>

#include "platform/Directories.h"
#include "platform/Ports.h"

namespace twig {

namespace {

// A record value as bound at insertion: text as text, numbers as numbers, absent as "".
SqlValue boundValue(const std::optional<Json>& value) {
  if (!value || value->is_null()) return std::string();
  if (value->is_string()) return value->get<std::string>();
  if (value->is_boolean()) return static_cast<std::int64_t>(value->get<bool>() ? 1 : 0);
  if (value->is_number_integer()) return value->get<std::int64_t>();
  if (value->is_number_float()) return value->get<double>();
  return value->dump(-1, ' ', false, Json::error_handler_t::replace);
}

// A record value as written into a set-list: always text.
std::string textValue(const std::optional<Json>& value) {
  if (!value || value->is_null()) return {};
  if (value->is_string()) return value->get<std::string>();
  if (value->is_boolean()) return value->get<bool>() ? "1" : "0";
  return value->dump(-1, ' ', false, Json::error_handler_t::replace);
}

bool declares(const TWIGBaseModel& record, const std::string& column) {
  return record.modelClass().field(column) != nullptr;
}

std::string joinedColumns(const TWIGBaseModel& record) {
  std::string columns;
  for (const auto& field : record.modelClass().fields()) {
    if (!columns.empty()) columns += ",";
    columns += SqliteDatabase::quoteIdentifier(field.name);
  }
  return columns;
}

}  // namespace

OAKFMDBManage::OAKFMDBManage() : OAKFMDBManage(port::directories().documents() / kDatabaseName) {}

OAKFMDBManage::OAKFMDBManage(std::filesystem::path databaseFile) : databaseFile_(std::move(databaseFile)) {}

std::unique_ptr<SqliteDatabase> OAKFMDBManage::creatTable(const TWIGBaseModel* record) const {
  if (record == nullptr) return nullptr;
  return SqliteDatabase::open(databaseFile_);
}

bool OAKFMDBManage::insertData(const TWIGBaseModel& record) const {
  auto database = creatTable(&record);
  if (!database) return false;
  const auto& fields = record.modelClass().fields();
  if (fields.empty()) return false;
  const std::string table = SqliteDatabase::quoteIdentifier(record.modelClass().name());
  const std::string columns = joinedColumns(record);
  if (!database->tableExists(record.modelClass().name()) &&
      !database->execute("create table if not exists " + table + "(seq integer primary key autoincrement, " +
                         columns + ")")) {
    return false;
  }
  std::string placeholders;
  std::vector<SqlValue> values;
  for (const auto& field : fields) {
    placeholders += placeholders.empty() ? "?" : ",?";
    values.push_back(boundValue(field.get(record)));
  }
  return database->execute("insert into " + table + "(" + columns + ") values(" + placeholders + ")", values);
}

bool OAKFMDBManage::deleteData(const TWIGBaseModel& record, const std::string& key,
                               const std::string& value) const {
  if (!declares(record, key)) return false;
  auto database = creatTable(&record);
  if (!database) return false;
  return database->execute("delete from " + SqliteDatabase::quoteIdentifier(record.modelClass().name()) +
                               " where " + SqliteDatabase::quoteIdentifier(key) + " = ?",
                           {value});
}

bool OAKFMDBManage::clearAllData(const TWIGBaseModel& record) const {
  auto database = creatTable(&record);
  if (!database) return false;
  const bool cleared =
      database->execute("delete from " + SqliteDatabase::quoteIdentifier(record.modelClass().name()));
  // Restarts the row numbering; a table that never had a row has no sequence entry, which is fine.
  database->execute("update sqlite_sequence set seq = 0 where name = ?", {record.modelClass().name()});
  return cleared;
}

bool OAKFMDBManage::update(const TWIGBaseModel& record, const std::vector<std::string>& columns,
                           const std::string& key, const std::string& value) const {
  if (!declares(record, key)) return false;
  std::string setList;
  std::vector<SqlValue> values;
  for (const auto& field : record.modelClass().fields()) {
    if (std::find(columns.begin(), columns.end(), field.name) == columns.end()) continue;
    if (!setList.empty()) setList += ", ";
    setList += SqliteDatabase::quoteIdentifier(field.name) + " = ?";
    values.push_back(textValue(field.get(record)));
  }
  if (setList.empty()) return false;  // nothing the record declares was named
  auto database = creatTable(&record);
  if (!database) return false;
  values.push_back(value);
  return database->execute("update " + SqliteDatabase::quoteIdentifier(record.modelClass().name()) + " set " +
                               setList + " where " + SqliteDatabase::quoteIdentifier(key) + " = ?",
                           values);
}

bool OAKFMDBManage::updateData(const TWIGBaseModel& record, const std::optional<std::string>& key,
                               const std::string& value) const {
  if (!key) return false;
  return update(record, {*key}, *key, value);
}

bool OAKFMDBManage::updateSpecificDataChangeKey(const TWIGBaseModel& record,
                                                const std::optional<std::string>& changeKey,
                                                const std::optional<std::string>& key,
                                                const std::string& value) const {
  if (!changeKey || !key) return false;
  return update(record, {*changeKey}, *key, value);
}

bool OAKFMDBManage::updateSpecificDataChangeKeys(const TWIGBaseModel& record,
                                                 const std::optional<std::vector<std::string>>& changeKeys,
                                                 const std::optional<std::string>& key,
                                                 const std::string& value) const {
  if (!changeKeys || !key) return false;
  return update(record, *changeKeys, *key, value);
}

std::optional<OAKFMDBManage::Rows> OAKFMDBManage::fetchAllData(const TWIGBaseModel& record) const {
  return fetchSpecificData(record, std::nullopt, std::nullopt);
}

std::optional<OAKFMDBManage::Rows> OAKFMDBManage::fetchSpecificData(
    const TWIGBaseModel& record, const std::optional<std::string>& key) const {
  return fetchSpecificData(record, key, std::nullopt);
}

std::optional<OAKFMDBManage::Rows> OAKFMDBManage::fetchSpecificData(const TWIGBaseModel& record,
                                                                    const std::optional<std::string>& key,
                                                                    const std::optional<Json>& value) const {
  if (key && !declares(record, *key) && *key != "seq") return std::nullopt;
  auto database = creatTable(&record);
  if (!database) return std::nullopt;
  const std::string table = SqliteDatabase::quoteIdentifier(record.modelClass().name());
  const bool hasValue = value && !value->is_null();
  std::string sql;
  std::vector<SqlValue> parameters;
  if (key && !hasValue) {
    sql = "select " + SqliteDatabase::quoteIdentifier(*key) + " from " + table;
  } else {
    sql = "select * from " + table;
    if (key && hasValue) {
      sql += " where " + SqliteDatabase::quoteIdentifier(*key) + " = ?";
      // Text compares as text; a number compares as the number it is.
      parameters.push_back(value->is_string() ? SqlValue(value->get<std::string>()) : boundValue(value));
    }
  }
  const auto rows = database->query(sql, parameters);
  if (!rows || rows->empty()) return std::nullopt;

  Rows result;
  result.reserve(rows->size());
  for (const auto& row : *rows) {
    Json dictionary = Json::object();
    for (const auto& field : record.modelClass().fields()) {
      dictionary[field.name] = row.text(field.name).value_or("");
    }
    result.push_back(std::move(dictionary));
  }
  return result;
}

}  // namespace twig
