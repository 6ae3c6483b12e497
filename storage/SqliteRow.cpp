#include "storage/SqliteRow.h"

#include <charconv>
#include <cmath>

namespace twig {

namespace {

// The number that all of `text` spells; nothing when any of it is something else.
template <class Number>
std::optional<Number> wholeNumber(const std::string& text) {
  Number value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

const SqliteRow::Cell* SqliteRow::find(const std::string& column) const {
  for (const auto& [name, cell] : cells_) {
    if (name == column) return &cell;
  }
  return nullptr;
}

bool SqliteRow::isNull(const std::string& column) const {
  const Cell* cell = find(column);
  return cell == nullptr || cell->type == Type::Null;
}

std::optional<std::string> SqliteRow::text(const std::string& column) const {
  const Cell* cell = find(column);
  return cell != nullptr ? cell->text : std::nullopt;
}

std::optional<std::int64_t> SqliteRow::integerOf(const Cell& cell) {
  switch (cell.type) {
    case Type::Integer:
      return cell.integer;
    case Type::Real:
      // Cut toward zero, within the range of the type; not-a-number is no number.
      if (std::isnan(cell.real) || cell.real >= 9.2e18 || cell.real <= -9.2e18) return std::nullopt;
      return static_cast<std::int64_t>(cell.real);
    case Type::Text:
      return wholeNumber<std::int64_t>(*cell.text);
    case Type::Null:
      break;
  }
  return std::nullopt;
}

std::optional<std::int64_t> SqliteRow::integer(const std::string& column) const {
  const Cell* cell = find(column);
  return cell != nullptr ? integerOf(*cell) : std::nullopt;
}

std::optional<double> SqliteRow::real(const std::string& column) const {
  const Cell* cell = find(column);
  if (cell == nullptr) return std::nullopt;
  switch (cell->type) {
    case Type::Integer:
      return static_cast<double>(cell->integer);
    case Type::Real:
      return cell->real;
    case Type::Text:
      return wholeNumber<double>(*cell->text);
    case Type::Null:
      break;
  }
  return std::nullopt;
}

std::optional<std::string> SqliteRow::firstText() const {
  return cells_.empty() ? std::nullopt : cells_.front().second.text;
}

std::optional<std::int64_t> SqliteRow::firstInteger() const {
  return cells_.empty() ? std::nullopt : integerOf(cells_.front().second);
}

}  // namespace twig
