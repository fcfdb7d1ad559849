#include "cli/display_width.h"

#include <gtest/gtest.h>

#include <string>

namespace cordshift {
namespace {

TEST(DisplayWidthTest, CountsWideAndFullwidthCharactersAsTwoColumns) {
  const struct {
    std::string text;
    std::size_t width;
  } cases[] = {
      {"", 0},
      {"No.", 3},
      {"品名", 4},
      {"最大端子", 8},
      {"W100_ドア", 9},         // katakana is wide
      {"ｶﾀｶﾅ", 4},              // halfwidth katakana is narrow
      {"ＡＢ１", 6},            // fullwidth forms
      {"（例：TBS480）", 14},   // fullwidth punctuation around ASCII
      {"→", 1},                 // ambiguous width counts as narrow
      {"\xF0\x9F\x98\x80", 2},  // emoji beyond the basic plane
      {"\xF0\xA0\x80\x8B", 2},  // CJK extension B
      {"é", 1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DisplayWidth(c.text), c.width) << c.text;
  }
}

TEST(DisplayWidthTest, CountsEveryByteOfABrokenSequenceAsOneColumn) {
  EXPECT_EQ(DisplayWidth("\xFF"), 1u);
  EXPECT_EQ(DisplayWidth("a\xE5\x93"), 3u);  // cut-off 3-byte sequence
  EXPECT_EQ(DisplayWidth("\xE5"
                         "a"
                         "\x93"),
            3u);                            // interrupted sequence
  EXPECT_EQ(DisplayWidth("\x82\xA0"), 2u);  // Shift-JIS, not UTF-8
}

TEST(DisplayWidthTest, RangeBoundaries) {
  EXPECT_FALSE(IsWideCodePoint(0x10FF));
  EXPECT_TRUE(IsWideCodePoint(0x1100));
  EXPECT_TRUE(IsWideCodePoint(0x115F));
  EXPECT_FALSE(IsWideCodePoint(0x1160));
  EXPECT_TRUE(IsWideCodePoint(0x3000));  // ideographic space
  EXPECT_TRUE(IsWideCodePoint(0xFF01));
  EXPECT_FALSE(IsWideCodePoint(0xFF61));
  EXPECT_TRUE(IsWideCodePoint(0x3FFFD));
  EXPECT_FALSE(IsWideCodePoint(0x3FFFE));
}

}  // namespace
}  // namespace cordshift
