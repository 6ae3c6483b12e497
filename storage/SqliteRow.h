#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace twig {

// One row of a query, read by column name with the type the caller wants. Each column keeps its
// storage class (NULL, integer, real, text or bytes) and the text SQLite makes of it.
class SqliteRow {
 public:
  enum class Type { Null, Integer, Real, Text };
  struct Cell {
    Type type = Type::Null;
    std::optional<std::string> text;  // as SQLite writes the value; nothing for NULL
    std::int64_t integer = 0;
    double real = 0;
  };

  void add(std::string column, Cell cell) { cells_.emplace_back(std::move(column), std::move(cell)); }

  bool has(const std::string& column) const { return find(column) != nullptr; }
  // NULL, or no such column.
  bool isNull(const std::string& column) const;
  // The value as text (numbers as SQLite writes them); nothing for NULL or no such column.
  std::optional<std::string> text(const std::string& column) const;
  // The value as a whole number: an integer as it is, a real cut toward zero, text only when all of
  // it is one; nothing otherwise.
  std::optional<std::int64_t> integer(const std::string& column) const;
  // The value as a number: integers and reals, text only when all of it is one.
  std::optional<double> real(const std::string& column) const;
  // The first column's value as text, for single-value queries.
  std::optional<std::string> firstText() const;
  std::optional<std::int64_t> firstInteger() const;

  std::size_t size() const { return cells_.size(); }
  bool empty() const { return cells_.empty(); }

 private:
  const Cell* find(const std::string& column) const;
  static std::optional<std::int64_t> integerOf(const Cell& cell);

  std::vector<std::pair<std::string, Cell>> cells_;
};

}  // namespace twig
