#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Clock.h"
#include "platform/Json.h"

namespace twig {

// Shared helpers for time stamps, identifiers and JSON text. Stateless; callable from any thread.
class Utils {
 public:
  // Now as whole milliseconds since 1970-01-01 UTC, rounded to the nearest, as decimal text.
  static std::string timeToTurnTheTimestamp(const Clock& clock);
  static std::int64_t millisecondsSince1970(WallTime t);

  // A millisecond time stamp (JSON number or numeric text) as local "yyyy-MM-dd HH:mm"; empty when
  // the value names no representable time.
  static std::string timeStampString(const Json& milliseconds);
  // Whether the time stamp falls on today's (yesterday's) local calendar day. The time stamp is cut
  // to its minute and today's UTC offset is applied to both instants.
  static bool isToday(const Json& milliseconds, const Clock& clock);
  static bool isYesterday(const Json& milliseconds, const Clock& clock);

  // A fresh random UUID, canonical and upper-case.
  static std::string getUUIDString();

  // Pretty-printed UTF-8 JSON text. Never throws: invalid UTF-8 in strings is replaced.
  static std::string jsonWithObject(const Json& object);
  // The parsed object or array; nothing when the text is not JSON or its top level is neither.
  static std::optional<Json> jsonWithString(std::string_view text);
  // True when the value is present and is not JSON null (callers read true as "has a value").
  static bool isPresent(const std::optional<Json>& value);
  static bool isPresent(const Json* value) { return value != nullptr && !value->is_null(); }

  // The numeric value of text as a lenient reader sees it: leading blanks, then the longest number;
  // 0 when there is none.
  static double doubleValue(std::string_view text);
  // The integer a lenient reader sees in a JSON value: numbers (cut to whole), booleans as 0/1,
  // text by its leading number; 0 for anything else.
  static std::int64_t integerValue(const Json& value);
  // A member of a JSON object as text: strings as they are, other values written out as JSON, ""
  // when the member is absent or null or `object` is not an object. Never throws.
  static std::string stringValue(const Json& object, std::string_view key);
  // A picture's address from outside (the service's answers) as the screens may load it: only
  // "http://" and "https://" addresses; anything else (a local file, a data or custom scheme) is
  // refused as "".
  static std::string webAddress(std::string_view address);

  // Text as the child types it, counted in characters (Unicode code points): at most `maxCharacters`
  // of them, and invalid UTF-8 replaced by U+FFFD so that the text can always be shown and sent.
  struct CharacterPrefix {
    std::string text;
    std::size_t characters = 0;  // in the prefix
    bool cut = false;            // the input had more characters
  };
  static CharacterPrefix characterPrefix(std::string_view text, std::size_t maxCharacters);
};

}  // namespace twig
