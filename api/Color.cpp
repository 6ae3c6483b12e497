#include "api/Color.h"

#include <cstdint>
#include <limits>
#include <string>

namespace twig {

namespace {

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads leading hexadecimal digits (an optional "0x" included); too large a value saturates.
std::uint32_t scanHex(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n')) ++i;
  if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X') &&
      i + 2 < text.size() && hexValue(text[i + 2]) >= 0) {
    i += 2;
  }
  std::uint64_t value = 0;
  for (; i < text.size(); ++i) {
    const int digit = hexValue(text[i]);
    if (digit < 0) break;
    value = value * 16 + static_cast<std::uint64_t>(digit);
    if (value > std::numeric_limits<std::uint32_t>::max()) return std::numeric_limits<std::uint32_t>::max();
  }
  return static_cast<std::uint32_t>(value);
}

}  // namespace

RGBAColor Color::colorWithHex(std::string_view text) {
  std::string hex;
  for (char c : text) {
    if (c != '#') hex.push_back(c);
  }
  if (hex.size() == 3) hex = {hex[0], hex[0], hex[1], hex[1], hex[2], hex[2]};
  if (hex.size() == 6) hex += "ff";
  const std::uint32_t value = scanHex(hex);
  RGBAColor color;
  color.red = ((value >> 24) & 0xFF) / 255.0;
  color.green = ((value >> 16) & 0xFF) / 255.0;
  color.blue = ((value >> 8) & 0xFF) / 255.0;
  color.alpha = 1.0;
  return color;
}

}  // namespace twig
