#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "api/TWIGBaseModel.h"
#include "platform/Json.h"
#include "storage/SqliteDatabase.h"

namespace twig {

// The SQLite table store: any model record becomes a table row. The table is named after the
// record's class, its columns are "seq" (the row number) then the record's properties in
// declaration order. Every operation opens its own connection and closes it before returning, so
// calls from different threads are serialised by SQLite's locking (a busy database is waited for
// briefly). No value is ever spliced into statement text: values are bound as parameters, and
// table and column names come only from the records' field tables. Failures come back as false or
// nothing; nothing is thrown or shown.
class OAKFMDBManage {
 public:
  using Rows = std::vector<Json>;  // each row: every property name mapped to its text ("" for NULL)

  static constexpr const char* kDatabaseName = "tesSel_children.sqlite";

  // The database in the documents directory of the installed ports.
  OAKFMDBManage();
  explicit OAKFMDBManage(std::filesystem::path databaseFile);

  // A new connection to the database; nothing when the record is absent or the open fails. It
  // creates no table despite its name.
  std::unique_ptr<SqliteDatabase> creatTable(const TWIGBaseModel* record) const;

  // Creates the record's table when missing, then inserts the record (absent values as "").
  bool insertData(const TWIGBaseModel& record) const;
  // Rows whose `key` column equals `value` as text.
  bool deleteData(const TWIGBaseModel& record, const std::string& key, const std::string& value) const;
  // Empties the table and restarts its row numbering.
  bool clearAllData(const TWIGBaseModel& record) const;
  // Sets column `key` to the record's value for it (as text) in every row where `key` equals `value`:
  // rows move from one key value to another.
  bool updateData(const TWIGBaseModel& record, const std::optional<std::string>& key,
                  const std::string& value) const;
  // Sets column `changeKey` to the record's value for it where `key` equals `value`.
  bool updateSpecificDataChangeKey(const TWIGBaseModel& record, const std::optional<std::string>& changeKey,
                                   const std::optional<std::string>& key, const std::string& value) const;
  // Sets every column named in `changeKeys` (in declaration order) to the record's values.
  bool updateSpecificDataChangeKeys(const TWIGBaseModel& record,
                                    const std::optional<std::vector<std::string>>& changeKeys,
                                    const std::optional<std::string>& key, const std::string& value) const;

  // Nothing when the table is missing, the statement fails, or there are no rows (never an empty list).
  std::optional<Rows> fetchAllData(const TWIGBaseModel& record) const;
  // Only `key` is selected; the other properties of each row read as "".
  std::optional<Rows> fetchSpecificData(const TWIGBaseModel& record,
                                        const std::optional<std::string>& key) const;
  // Rows whose `key` equals `value`: text compares as text, numbers as numbers.
  std::optional<Rows> fetchSpecificData(const TWIGBaseModel& record, const std::optional<std::string>& key,
                                        const std::optional<Json>& value) const;

  const std::filesystem::path& databaseFile() const { return databaseFile_; }

 private:
  bool update(const TWIGBaseModel& record, const std::vector<std::string>& columns, const std::string& key,
              const std::string& value) const;

  std::filesystem::path databaseFile_;
};

}  // namespace twig
