#include "platform/utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace cordshift {
namespace {

struct DecodeCase {
  const char* bytes;
  char32_t code_point;  // of the first character, when valid
  std::size_t length;
  bool valid;
};

class DecodeUtf8Test : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeUtf8Test, DecodesTheFirstCharacter) {
  const std::string text = GetParam().bytes;
  const Utf8Char c = DecodeUtf8At(text, 0);
  EXPECT_EQ(c.valid, GetParam().valid);
  EXPECT_EQ(c.length, GetParam().length);
  if (c.valid) {
    EXPECT_EQ(c.code_point, GetParam().code_point);
  }
  EXPECT_EQ(IsValidUtf8(text), GetParam().valid && c.length == text.size());
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, DecodeUtf8Test,
    ::testing::Values(
        DecodeCase{"A", U'A', 1, true},
        DecodeCase{"\xC2\xA5", U'\u00A5', 2, true},      // ¥
        DecodeCase{"\xE8\xA1\xA8", U'\u8868', 3, true},  // 表
        DecodeCase{"\xF0\x9F\x98\x80", U'\U0001F600', 4, true},
        DecodeCase{"\xC0\x80", 0, 1, false},          // overlong
        DecodeCase{"\xE0\x80\x80", 0, 1, false},      // overlong
        DecodeCase{"\xED\xA0\x80", 0, 1, false},      // surrogate
        DecodeCase{"\xF4\x90\x80\x80", 0, 1, false},  // > U+10FFFF
        DecodeCase{"\xE3\x81", 0, 1, false},          // cut off
        DecodeCase{"\x80", 0, 1, false},              // stray
        DecodeCase{"\xE3\x41\x41", 0, 1, false}));    // not continued

TEST(Utf8Test, MalformedBytesInsideATextAreFound) {
  EXPECT_TRUE(IsValidUtf8("ドア左.lvd"));
  EXPECT_FALSE(IsValidUtf8("ドア\x83\x68.lvd"));  // Shift-JIS bytes
}

}  // namespace
}  // namespace cordshift
