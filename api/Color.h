#pragma once

#include <string_view>

namespace twig {

struct RGBAColor {
  double red = 0;
  double green = 0;
  double blue = 0;
  double alpha = 1;
  bool operator==(const RGBAColor&) const = default;
};

// Colours of the screens, written as hexadecimal text ("#545454", "fff").
class Color {
 public:
  // "#" is dropped, three digits are doubled, six get "ff" appended; the text is read as one 32-bit
  // number whose top three bytes are red, green and blue. Alpha is always 1.
  static RGBAColor colorWithHex(std::string_view text);
};

}  // namespace twig
