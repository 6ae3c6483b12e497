#include "storage/TableStore.h"

#include <algorithm>

#include "platform/Directories.h"
#include "storage/StoredNames.h"

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

bool declares(const Model& record, const std::string& column) {
  return record.modelClass().field(column) != nullptr;
}

std::string joinedColumns(const Model& record) {
  std::string columns;
  for (const auto& field : record.modelClass().fields()) {
    if (!columns.empty()) columns += ",";
    columns += SqliteDatabase::quoteIdentifier(field.name);
  }
  return columns;
}

}  // namespace

class TableStore::Connection {
 public:
  Connection(std::unique_ptr<SqliteDatabase> owned, SqliteDatabase* shared)
      : owned_(std::move(owned)), shared_(shared) {}
  SqliteDatabase* get() const { return shared_ != nullptr ? shared_ : owned_.get(); }
  explicit operator bool() const { return get() != nullptr; }
  SqliteDatabase* operator->() const { return get(); }

 private:
  std::unique_ptr<SqliteDatabase> owned_;
  SqliteDatabase* shared_;
};

std::filesystem::path TableStore::fileIn(Directories& directories) {
  return directories.documents() / stored::kDatabaseFile;
}

TableStore::TableStore(std::filesystem::path databaseFile) : databaseFile_(std::move(databaseFile)) {}

std::unique_ptr<SqliteDatabase> TableStore::openDatabase(const Model* record) const {
  if (record == nullptr) return nullptr;
  return SqliteDatabase::open(databaseFile_);
}

TableStore::Connection TableStore::connect() const {
  if (shared_ != nullptr) return Connection(nullptr, shared_);
  auto database = SqliteDatabase::open(databaseFile_);
  if (!database) lastError_ = "the database " + databaseFile_.string() + " cannot be opened";
  return Connection(std::move(database), nullptr);
}

bool TableStore::noted(bool succeeded, const SqliteDatabase* database) const {
  if (succeeded) {
    lastError_.clear();
  } else {
    lastError_ = database != nullptr ? database->lastError() : std::string("the database cannot be opened");
  }
  return succeeded;
}

bool TableStore::transaction(const std::function<bool(const TableStore& store)>& work) const {
  auto database = SqliteDatabase::open(databaseFile_);
  if (!database) {
    lastError_ = "the database " + databaseFile_.string() + " cannot be opened";
    return false;
  }
  TableStore bound(databaseFile_);
  bound.shared_ = database.get();
  const bool committed = database->transaction([&] { return work(bound); });
  // The work's operations stop at their first failure, so the last word of the bound store is
  // what failed; when none failed, the begin or the commit did.
  lastError_ = !bound.lastError_.empty() ? bound.lastError_
               : committed               ? std::string()
                                         : database->lastError();
  return committed;
}

bool TableStore::insertData(const Model& record) const {
  auto database = connect();
  if (!database) return false;
  const auto& fields = record.modelClass().fields();
  if (fields.empty()) return false;
  const std::string table = SqliteDatabase::quoteIdentifier(record.modelClass().name());
  const std::string columns = joinedColumns(record);
  if (!database->tableExists(record.modelClass().name()) &&
      !noted(database->execute("create table if not exists " + table +
                               "(seq integer primary key autoincrement, " + columns + ")"),
             database.get())) {
    return false;
  }
  std::string placeholders;
  std::vector<SqlValue> values;
  for (const auto& field : fields) {
    placeholders += placeholders.empty() ? "?" : ",?";
    values.push_back(boundValue(field.get(record)));
  }
  return noted(
      database->execute("insert into " + table + "(" + columns + ") values(" + placeholders + ")", values),
      database.get());
}

bool TableStore::deleteData(const Model& record, const std::string& key, const std::string& value) const {
  if (!declares(record, key)) return false;
  auto database = connect();
  if (!database) return false;
  return noted(
      database->execute("delete from " + SqliteDatabase::quoteIdentifier(record.modelClass().name()) +
                            " where " + SqliteDatabase::quoteIdentifier(key) + " = ?",
                        {value}),
      database.get());
}

bool TableStore::clearAllData(const Model& record) const {
  auto database = connect();
  if (!database) return false;
  const bool cleared =
      noted(database->execute("delete from " + SqliteDatabase::quoteIdentifier(record.modelClass().name())),
            database.get());
  // Restarts the row numbering; a table that never had a row has no sequence entry, which is fine.
  database->execute("update sqlite_sequence set seq = 0 where name = ?", {record.modelClass().name()});
  return cleared;
}

bool TableStore::update(const Model& record, const std::vector<std::string>& columns, const std::string& key,
                        const std::string& value) const {
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
  auto database = connect();
  if (!database) return false;
  values.push_back(value);
  return noted(
      database->execute("update " + SqliteDatabase::quoteIdentifier(record.modelClass().name()) + " set " +
                            setList + " where " + SqliteDatabase::quoteIdentifier(key) + " = ?",
                        values),
      database.get());
}

bool TableStore::updateData(const Model& record, const std::optional<std::string>& key,
                            const std::string& value) const {
  if (!key) return false;
  return update(record, {*key}, *key, value);
}

bool TableStore::updateSpecificDataChangeKey(const Model& record, const std::optional<std::string>& changeKey,
                                             const std::optional<std::string>& key,
                                             const std::string& value) const {
  if (!changeKey || !key) return false;
  return update(record, {*changeKey}, *key, value);
}

bool TableStore::updateSpecificDataChangeKeys(const Model& record,
                                              const std::optional<std::vector<std::string>>& changeKeys,
                                              const std::optional<std::string>& key,
                                              const std::string& value) const {
  if (!changeKeys || !key) return false;
  return update(record, *changeKeys, *key, value);
}

std::optional<TableStore::Rows> TableStore::fetchAllData(const Model& record) const {
  return fetchSpecificData(record, std::nullopt, std::nullopt);
}

std::optional<TableStore::Rows> TableStore::fetchSpecificData(const Model& record,
                                                              const std::optional<std::string>& key) const {
  return fetchSpecificData(record, key, std::nullopt);
}

std::optional<std::vector<SqliteRow>> TableStore::select(const Model& record,
                                                         const std::optional<std::string>& key,
                                                         const std::optional<Json>& value) const {
  auto database = connect();
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
  auto rows = database->query(sql, parameters);
  noted(rows.has_value(), database.get());
  return rows;
}

namespace {

TableStore::Rows dictionaries(const Model& record, const std::vector<SqliteRow>& rows) {
  TableStore::Rows result;
  result.reserve(rows.size());
  for (const auto& row : rows) {
    Json dictionary = Json::object();
    for (const auto& field : record.modelClass().fields()) {
      dictionary[field.name] = row.text(field.name).value_or("");
    }
    result.push_back(std::move(dictionary));
  }
  return result;
}

}  // namespace

std::optional<TableStore::Rows> TableStore::fetchSpecificData(const Model& record,
                                                              const std::optional<std::string>& key,
                                                              const std::optional<Json>& value) const {
  if (key && !declares(record, *key) && *key != "seq") return std::nullopt;
  const auto rows = select(record, key, value);
  if (!rows || rows->empty()) return std::nullopt;
  return dictionaries(record, *rows);
}

std::optional<bool> TableStore::hasTable(const Model& record) const {
  // Asked of the schema itself, so that a database that cannot be read says so here.
  auto database = connect();
  if (!database) return std::nullopt;
  const auto tables = database->query("select name from sqlite_master where type = 'table' and name = ?",
                                      {record.modelClass().name()});
  if (!noted(tables.has_value(), database.get())) return std::nullopt;
  return !tables->empty();
}

std::optional<TableStore::Rows> TableStore::readRows(const Model& record,
                                                     const std::optional<std::string>& key,
                                                     const std::optional<Json>& value) const {
  if (key && !declares(record, *key)) {
    lastError_ = "no column " + *key + " in " + record.modelClass().name();
    return std::nullopt;
  }
  // A table is made by the first insert: before that there is nothing to read, which is no failure.
  const auto exists = hasTable(record);
  if (!exists) return std::nullopt;
  if (!*exists) return Rows{};
  const auto rows = select(record, key, value);
  if (!rows) return std::nullopt;
  return dictionaries(record, *rows);
}

}  // namespace twig
