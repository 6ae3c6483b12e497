#include "api/Utils.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "platform/BoundedJson.h"
#include "platform/LocalTime.h"
#include "platform/Utf8.h"
#include "platform/Uuid.h"

namespace twig {

namespace {

// Beyond this many seconds from 1970 calendar arithmetic stops being meaningful.
constexpr double kLargestSeconds = 1e13;

std::optional<double> millisecondsOf(const Json& value) {
  if (value.is_number()) return value.get<double>();
  if (value.is_string()) return Utils::doubleValue(value.get_ref<const std::string&>());
  return std::nullopt;
}

// Parses "yyyy-MM-dd HH:mm" as local time.
std::optional<WallTime> parseMinuteText(const std::string& text) {
  LocalTime fields;
  char tail = 0;
  if (std::sscanf(text.c_str(), "%d-%d-%d %d:%d%c", &fields.year, &fields.month, &fields.day, &fields.hour,
                  &fields.minute, &tail) != 5) {
    return std::nullopt;
  }
  return fromLocalTime(fields);
}

long long dayNumber(long long offsetSeconds, long long instantSeconds) {
  const long long shifted = offsetSeconds + instantSeconds;
  return shifted >= 0 ? shifted / 86400 : -((-shifted + 86399) / 86400);
}

std::optional<long long> minuteInstant(const Json& milliseconds) {
  const auto parsed = parseMinuteText(Utils::timeStampString(milliseconds));
  if (!parsed) return std::nullopt;
  return std::chrono::duration_cast<std::chrono::seconds>(parsed->time_since_epoch()).count();
}

bool sameDay(const Json& milliseconds, const Clock& clock, long long shiftSeconds) {
  const auto t = minuteInstant(milliseconds);
  if (!t) return false;
  const WallTime now = clock.now();
  const long long offset = toLocalTime(now).utcOffsetSeconds;
  const long long n = std::chrono::floor<std::chrono::seconds>(now.time_since_epoch()).count();
  return dayNumber(offset, n - shiftSeconds) == dayNumber(offset, *t);
}

}  // namespace

std::int64_t Utils::millisecondsSince1970(WallTime t) {
  const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(t.time_since_epoch()).count();
  // To the nearest millisecond, half a millisecond upwards.
  const auto shifted = micros + 500;
  return shifted >= 0 ? shifted / 1000 : -((-shifted + 999) / 1000);
}

std::string Utils::timeToTurnTheTimestamp(const Clock& clock) {
  return std::to_string(millisecondsSince1970(clock.now()));
}

std::string Utils::timeStampString(const Json& milliseconds) {
  const auto ms = millisecondsOf(milliseconds);
  if (!ms || !std::isfinite(*ms)) return "";
  const double seconds = std::floor(*ms / 1000.0);
  if (std::fabs(seconds) > kLargestSeconds) return "";
  const LocalTime local = toLocalTime(WallTime(std::chrono::seconds(static_cast<long long>(seconds))));
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", local.year, local.month, local.day, local.hour,
                local.minute);
  return text;
}

bool Utils::isToday(const Json& milliseconds, const Clock& clock) {
  return sameDay(milliseconds, clock, 0);
}
bool Utils::isYesterday(const Json& milliseconds, const Clock& clock) {
  return sameDay(milliseconds, clock, 86400);
}

std::string Utils::getUUIDString() {
  return Uuid::randomString();
}

std::string Utils::jsonWithObject(const Json& object) {
  return object.dump(2, ' ', false, Json::error_handler_t::replace);
}

std::optional<Json> Utils::jsonWithString(std::string_view text) {
  auto parsed = BoundedJson::parse(text);
  if (!parsed.value || !(parsed.value->is_object() || parsed.value->is_array())) return std::nullopt;
  return std::move(parsed.value);
}

std::string Utils::webAddress(std::string_view address) {
  auto startsWith = [address](std::string_view scheme) {
    if (address.size() <= scheme.size()) return false;
    for (std::size_t i = 0; i < scheme.size(); ++i) {
      if (std::tolower(static_cast<unsigned char>(address[i])) != scheme[i]) return false;
    }
    return true;
  };
  if (!startsWith("http://") && !startsWith("https://")) return "";
  return std::string(address);
}

bool Utils::isPresent(const std::optional<Json>& value) {
  return value.has_value() && !value->is_null();
}

double Utils::doubleValue(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r')) ++i;
  text.remove_prefix(i);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  double value = 0;
  const auto result =
      std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
  if (result.ec != std::errc()) return 0;
  return negative ? -value : value;
}

}  // namespace twig

namespace twig {

std::int64_t Utils::integerValue(const Json& value) {
  double number = 0;
  if (value.is_number_integer()) return value.get<std::int64_t>();
  if (value.is_number_float()) {
    number = value.get<double>();
  } else if (value.is_boolean()) {
    return value.get<bool>() ? 1 : 0;
  } else if (value.is_string()) {
    number = doubleValue(value.get_ref<const std::string&>());
  }
  if (!std::isfinite(number) || number > 9.2e18 || number < -9.2e18) return 0;
  return static_cast<std::int64_t>(number);
}

std::string Utils::stringValue(const Json& object, std::string_view key) {
  if (!object.is_object()) return "";
  auto it = object.find(key);
  if (it == object.end() || it->is_null()) return "";
  return it->is_string() ? it->get<std::string>() : it->dump(-1, ' ', false, Json::error_handler_t::replace);
}

Utils::CharacterPrefix Utils::characterPrefix(std::string_view text, std::size_t maxCharacters) {
  CharacterPrefix prefix;
  std::size_t i = 0;
  while (i < text.size()) {
    if (prefix.characters == maxCharacters) {
      prefix.cut = true;
      break;
    }
    const std::size_t length = utf8::sequenceLength(text, i);
    if (length == 0) {
      prefix.text += "\xEF\xBF\xBD";
      ++i;
    } else {
      prefix.text.append(text.substr(i, length));
      i += length;
    }
    ++prefix.characters;
  }
  return prefix;
}

}  // namespace twig
