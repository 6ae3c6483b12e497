#include "api/Color.h"

#include <gtest/gtest.h>

namespace twig {
namespace {

TEST(Color, ReadsSixThreeAndEightDigitTexts) {
  const double grey = 0x54 / 255.0;
  EXPECT_EQ(Color::colorWithHex("#545454"), (RGBAColor{grey, grey, grey, 1}));
  EXPECT_EQ(Color::colorWithHex("fff"), (RGBAColor{1, 1, 1, 1}));
  EXPECT_EQ(Color::colorWithHex("#2CBB78"), (RGBAColor{44 / 255.0, 187 / 255.0, 120 / 255.0, 1}));
  // The last byte of an eight-digit text is not alpha: opacity stays full.
  EXPECT_EQ(Color::colorWithHex("11223300"), (RGBAColor{0x11 / 255.0, 0x22 / 255.0, 0x33 / 255.0, 1}));
}

TEST(Color, OddTextsGiveDefinedColours) {
  EXPECT_EQ(Color::colorWithHex(""), (RGBAColor{0, 0, 0, 1}));
  EXPECT_EQ(Color::colorWithHex("zzzzzz"), (RGBAColor{0, 0, 0, 1}));
  // Four digits are read as the number they are: only the lowest bytes are set.
  EXPECT_EQ(Color::colorWithHex("abcd"), (RGBAColor{0, 0, 0xab / 255.0, 1}));
  // Too many digits saturate instead of wrapping.
  EXPECT_EQ(Color::colorWithHex("123456789abc"), (RGBAColor{1, 1, 1, 1}));
}

}  // namespace
}  // namespace twig
