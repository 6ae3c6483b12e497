#include "storage/SqliteDatabase.h"

#include <sqlite3.h>

namespace twig {

namespace {

struct StatementDeleter {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

Statement prepare(sqlite3* handle, const std::string& sql, const std::vector<SqlValue>& parameters) {
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(handle, sql.c_str(), static_cast<int>(sql.size()), &raw, nullptr) != SQLITE_OK) {
    sqlite3_finalize(raw);
    return nullptr;
  }
  Statement statement(raw);
  if (static_cast<std::size_t>(sqlite3_bind_parameter_count(raw)) != parameters.size()) return nullptr;
  int index = 1;
  for (const auto& parameter : parameters) {
    int rc = SQLITE_OK;
    if (const auto* integer = std::get_if<std::int64_t>(&parameter)) {
      rc = sqlite3_bind_int64(raw, index, *integer);
    } else if (const auto* real = std::get_if<double>(&parameter)) {
      rc = sqlite3_bind_double(raw, index, *real);
    } else {
      const auto& text = std::get<std::string>(parameter);
      rc = sqlite3_bind_text(raw, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    }
    if (rc != SQLITE_OK) return nullptr;
    ++index;
  }
  return statement;
}

// The storage class first (reading the text afterwards converts a number, not the other way round),
// then the text SQLite makes of the value.
SqliteRow::Cell cellOf(sqlite3_stmt* statement, int column) {
  SqliteRow::Cell cell;
  switch (sqlite3_column_type(statement, column)) {
    case SQLITE_NULL:
      return cell;
    case SQLITE_INTEGER:
      cell.type = SqliteRow::Type::Integer;
      cell.integer = sqlite3_column_int64(statement, column);
      break;
    case SQLITE_FLOAT:
      cell.type = SqliteRow::Type::Real;
      cell.real = sqlite3_column_double(statement, column);
      break;
    default:
      cell.type = SqliteRow::Type::Text;
      break;
  }
  const auto* text = sqlite3_column_text(statement, column);
  cell.text = text != nullptr ? std::string(reinterpret_cast<const char*>(text),
                                            static_cast<std::size_t>(sqlite3_column_bytes(statement, column)))
                              : std::string();
  return cell;
}

}  // namespace

std::unique_ptr<SqliteDatabase> SqliteDatabase::open(const std::filesystem::path& file,
                                                     std::chrono::milliseconds busyTimeout) {
  sqlite3* raw = nullptr;
  const int rc = sqlite3_open_v2(file.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  // SQLite may hand out a handle even when the open failed; it is closed either way.
  std::unique_ptr<SqliteDatabase> database(new SqliteDatabase(raw));
  if (rc != SQLITE_OK) return nullptr;
  sqlite3_busy_timeout(raw, static_cast<int>(busyTimeout.count()));
  return database;
}

void SqliteDatabase::Closer::operator()(sqlite3* handle) const {
  sqlite3_close_v2(handle);
}

SqliteDatabase::~SqliteDatabase() = default;

std::string SqliteDatabase::quoteIdentifier(const std::string& name) {
  std::string quoted = "\"";
  for (char c : name) {
    quoted.push_back(c);
    if (c == '"') quoted.push_back('"');
  }
  quoted.push_back('"');
  return quoted;
}

bool SqliteDatabase::tableExists(const std::string& table) {
  const auto rows = query("select name from sqlite_master where type = 'table' and name = ?", {table});
  return rows && !rows->empty();
}

bool SqliteDatabase::execute(const std::string& sql, const std::vector<SqlValue>& parameters) {
  Statement statement = prepare(handle_.get(), sql, parameters);
  if (!statement) return false;
  int rc = sqlite3_step(statement.get());
  while (rc == SQLITE_ROW) rc = sqlite3_step(statement.get());
  return rc == SQLITE_DONE;
}

std::optional<std::vector<SqliteDatabase::Row>> SqliteDatabase::query(
    const std::string& sql, const std::vector<SqlValue>& parameters) {
  Statement statement = prepare(handle_.get(), sql, parameters);
  if (!statement) return std::nullopt;
  std::vector<Row> rows;
  const int columns = sqlite3_column_count(statement.get());
  int rc = SQLITE_OK;
  while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW) {
    Row row;
    for (int i = 0; i < columns; ++i) {
      const char* name = sqlite3_column_name(statement.get(), i);
      row.add(name != nullptr ? name : "", cellOf(statement.get(), i));
    }
    rows.push_back(std::move(row));
  }
  if (rc != SQLITE_DONE) return std::nullopt;
  return rows;
}

std::string SqliteDatabase::lastError() const {
  return sqlite3_errmsg(handle_.get());
}

bool SqliteDatabase::transaction(const std::function<bool()>& work) {
  if (!execute("begin immediate")) return false;
  if (work() && execute("commit")) return true;
  execute("rollback");
  return false;
}

}  // namespace twig
