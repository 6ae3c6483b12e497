#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/Json.h"

namespace twig {

// The kinds of value a screen shows. Numbers include whole and fractional ones; a list or a
// record carries rows whose fields the screen's own view reads.
enum class FieldType { Text, Number, Flag, List, Record };

// One field of what a screen shows: its name, its kind, and whether it may be null (a banner that
// is not there, a title not set yet).
struct StateField {
  std::string name;
  FieldType type;
  bool optional = false;
};

// Every field a screen may show, declared once by its view model. The fields of the navigation
// bar come first in every shape, because the bar reads them from whichever screen is on top.
class StateShape {
 public:
  StateShape(std::initializer_list<StateField> fields);

  const std::vector<StateField>& fields() const { return fields_; }
  const StateField* find(std::string_view name) const;
  // Why `value` cannot be shown as `name`; empty when it can.
  std::string mismatch(std::string_view name, const Json& value) const;
  // Every mismatch of a whole state, one line each (for fixtures written by hand).
  std::vector<std::string> mismatches(const Json& state) const;
  // What a field shows before its view model has written it: "", 0, false, [], {} or null.
  static Json emptyValue(const StateField& field);

 private:
  std::vector<StateField> fields_;
};

}  // namespace twig
