#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

struct sqlite3;

namespace twig {

// A value bound to a statement parameter.
using SqlValue = std::variant<std::int64_t, double, std::string>;

// One open connection to a SQLite database file. Every value goes in as a bound parameter, never
// as statement text.
class SqliteDatabase {
 public:
  using Row = std::map<std::string, std::optional<std::string>>;  // column name to text (nothing for NULL)

  // Nothing when the file cannot be opened (or created). A busy database is waited for up to
  // `busyTimeout` before a statement gives up.
  static std::unique_ptr<SqliteDatabase> open(
      const std::filesystem::path& file, std::chrono::milliseconds busyTimeout = std::chrono::seconds(5));
  ~SqliteDatabase();
  SqliteDatabase(const SqliteDatabase&) = delete;
  SqliteDatabase& operator=(const SqliteDatabase&) = delete;

  bool tableExists(const std::string& table);
  // Runs a statement that returns no rows. False when it fails.
  bool execute(const std::string& sql, const std::vector<SqlValue>& parameters = {});
  // Runs a query; nothing when it fails.
  std::optional<std::vector<Row>> query(const std::string& sql, const std::vector<SqlValue>& parameters = {});
  std::string lastError() const;

  // "name" with inner double quotes doubled: safe as an identifier whatever the name holds.
  static std::string quoteIdentifier(const std::string& name);

 private:
  explicit SqliteDatabase(sqlite3* handle) : handle_(handle) {}
  sqlite3* handle_;
};

}  // namespace twig
