#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "api/Model.h"
#include "platform/Json.h"
#include "storage/SqliteDatabase.h"

namespace twig {

class Directories;

// The SQLite table store: any model record becomes a table row. The table is named after the
// record's class, its columns are "seq" (the row number) then the record's properties in
// declaration order. Every operation opens its own connection and closes it before returning, so
// stores on different threads are serialised by SQLite's locking (a busy database is waited for
// briefly); one store object belongs to one thread at a time (it keeps its last error). No value is ever
// spliced into statement text: values are bound as parameters, and table and column names come only from the
// records' field tables. Failures come back as false or nothing; nothing is thrown or shown.
class TableStore {
 public:
  using Rows = std::vector<Json>;  // each row: every property name mapped to its text ("" for NULL)

  // The agent's database file, in the documents folder.
  static std::filesystem::path fileIn(Directories& directories);
  explicit TableStore(std::filesystem::path databaseFile);
  // A copy of the store a transaction hands out would outlive its connection.
  TableStore(const TableStore&) = delete;
  TableStore& operator=(const TableStore&) = delete;

  // A new connection to the database; nothing when the record is absent or the open fails. It
  // creates no table despite its name.
  std::unique_ptr<SqliteDatabase> openDatabase(const Model* record) const;

  // Creates the record's table when missing, then inserts the record (absent values as "").
  bool insertData(const Model& record) const;
  // Rows whose `key` column equals `value` as text.
  bool deleteData(const Model& record, const std::string& key, const std::string& value) const;
  // Empties the table and restarts its row numbering.
  bool clearAllData(const Model& record) const;
  // Sets column `key` to the record's value for it (as text) in every row where `key` equals `value`:
  // rows move from one key value to another.
  bool updateData(const Model& record, const std::optional<std::string>& key, const std::string& value) const;
  // Sets column `changeKey` to the record's value for it where `key` equals `value`.
  bool updateSpecificDataChangeKey(const Model& record, const std::optional<std::string>& changeKey,
                                   const std::optional<std::string>& key, const std::string& value) const;
  // Sets every column named in `changeKeys` (in declaration order) to the record's values.
  bool updateSpecificDataChangeKeys(const Model& record,
                                    const std::optional<std::vector<std::string>>& changeKeys,
                                    const std::optional<std::string>& key, const std::string& value) const;

  // Runs `work` with a store whose every operation uses one connection inside one transaction: all
  // of its changes stay when it returns true, none when it returns false or the commit fails.
  bool transaction(const std::function<bool(const TableStore& store)>& work) const;

  // The rows as fetchSpecificData selects them (every row; with a key and a value those where `key`
  // equals `value`), but an empty list when there are none or the table does not exist yet, and
  // nothing only when the database cannot be read (see lastError()): a caller can tell a failure
  // from an empty table.
  std::optional<Rows> readRows(const Model& record, const std::optional<std::string>& key = std::nullopt,
                               const std::optional<Json>& value = std::nullopt) const;
  // Whether the record's table exists yet (the first insert makes it); nothing when the database
  // cannot be read.
  std::optional<bool> hasTable(const Model& record) const;
  // What the last failed operation of this store said (SQLite's words); empty after a success.
  const std::string& lastError() const { return lastError_; }

  // Nothing when the table is missing, the statement fails, or there are no rows (never an empty list).
  std::optional<Rows> fetchAllData(const Model& record) const;
  // Only `key` is selected; the other properties of each row read as "".
  std::optional<Rows> fetchSpecificData(const Model& record, const std::optional<std::string>& key) const;
  // Rows whose `key` equals `value`: text compares as text, numbers as numbers.
  std::optional<Rows> fetchSpecificData(const Model& record, const std::optional<std::string>& key,
                                        const std::optional<Json>& value) const;

  const std::filesystem::path& databaseFile() const { return databaseFile_; }

 private:
  // The transaction's connection, or a new one for this operation alone.
  class Connection;
  Connection connect() const;
  // Keeps SQLite's words of a failed operation (false) for lastError().
  bool noted(bool succeeded, const SqliteDatabase* database) const;
  bool update(const Model& record, const std::vector<std::string>& columns, const std::string& key,
              const std::string& value) const;
  std::optional<std::vector<SqliteRow>> select(const Model& record, const std::optional<std::string>& key,
                                               const std::optional<Json>& value) const;

  std::filesystem::path databaseFile_;
  SqliteDatabase* shared_ = nullptr;  // set inside transaction(): the connection every operation uses
  mutable std::string lastError_;
};

}  // namespace twig
