#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "storage/SqliteRow.h"

struct sqlite3;

namespace twig {

// A value bound to a statement parameter.
using SqlValue = std::variant<std::int64_t, double, std::string>;

// One open connection to a SQLite database file. Every value goes in as a bound parameter, never
// as statement text.
class SqliteDatabase {
 public:
  using Row = SqliteRow;

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

  // Runs `work` inside one transaction (begun at once, so no other writer slips in between): what
  // it changed stays when it returns true and is undone when it returns false or the commit fails.
  // False when the transaction could not begin, `work` gave up, or the commit failed.
  bool transaction(const std::function<bool()>& work);

  // "name" with inner double quotes doubled: safe as an identifier whatever the name holds.
  static std::string quoteIdentifier(const std::string& name);

 private:
  struct Closer {
    void operator()(sqlite3* handle) const;
  };
  explicit SqliteDatabase(sqlite3* handle) : handle_(handle) {}
  std::unique_ptr<sqlite3, Closer> handle_;
};

}  // namespace twig
