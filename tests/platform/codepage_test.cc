#include "platform/codepage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace cordshift {
namespace {

struct CodePair {
  const char* what;
  std::string utf8;
  std::string cp932;
};

// Characters whose trail byte looks like ASCII, the NEC and IBM rows that
// only the Windows table has, and the backslash that other Shift-JIS tables
// read as a yen sign.
const CodePair kRoundTrips[] = {
    {"empty", "", ""},
    {"ascii", "abc 123", "abc 123"},
    {"backslash", "\\", "\x5C"},
    {"tilde", "~", "\x7E"},
    {"hyo, trail 0x5C", "表", "\x95\x5C"},
    {"so, trail 0x5C", "ソ", "\x83\x5C"},
    {"no, trail 0x5C", "能", "\x94\x5C"},
    {"di, trail 0x61", "ヂ", "\x83\x61"},
    {"NEC circled one", "①", "\x87\x40"},
    {"NEC roman one", "Ⅰ", "\x87\x54"},
    {"IBM taka", "髙", "\xFB\xFC"},
    {"IBM kou, trail 0x5C", "纊", "\xFA\x5C"},
    {"fullwidth backslash", "＼", "\x81\x5F"},
    {"halfwidth katakana", "ｱｲ", "\xB1\xB2"},
    {"path", "C:\\表\\データ\\ソ.lvd",
     "C:\\\x95\x5C\\\x83\x66\x81\x5B\x83\x5E\\\x83\x5C.lvd"},
    {"embedded NUL", std::string("a\0b", 3), std::string("a\0b", 3)},
};

TEST(CodepageTest, ConvertsBothWays) {
  for (const CodePair& pair : kRoundTrips) {
    SCOPED_TRACE(pair.what);
    EXPECT_EQ(Cp932ToUtf8(pair.cp932), pair.utf8);
    EXPECT_EQ(Utf8ToCp932(pair.utf8), pair.cp932);
    EXPECT_TRUE(IsCp932Representable(pair.utf8));
    EXPECT_EQ(Cp932ToUtf8Lossy(pair.cp932), pair.utf8);
  }
}

TEST(CodepageTest, RefusesUtf8WithoutExactCp932Form) {
  const struct {
    const char* what;
    std::string utf8;
  } kRefused[] = {
      {"yen sign (would read back as backslash)", "¥"},
      {"yen sign inside a path", "C:\\a¥b"},
      {"overline (would read back as tilde)", "‾"},
      {"wave dash (would read back as fullwidth tilde)", "〜"},
      {"not sign (would read back as fullwidth not sign)", "¬"},
      {"emoji", "😀"},
      {"latin a with macron", "ā"},
      {"hangul", "한"},
      {"cut sequence", "\xE8\xA1"},
      {"lone continuation byte", "a\x80"},
      {"byte 0xFF", "\xFF"},
      {"overlong slash", "\xC0\xAF"},
      {"surrogate", "\xED\xA0\x80"},
  };
  for (const auto& refused : kRefused) {
    SCOPED_TRACE(refused.what);
    EXPECT_EQ(Utf8ToCp932(refused.utf8), std::nullopt);
    EXPECT_FALSE(IsCp932Representable(refused.utf8));
  }
}

TEST(CodepageTest, RefusesInvalidCp932AndEscapesItForDisplay) {
  const struct {
    const char* what;
    std::string cp932;
    std::string lossy;
  } kInvalid[] = {
      {"byte 0x80",
       "a\x80"
       "b",
       "a\\x80b"},
      {"byte 0xA0", "\xA0", "\\xA0"},
      {"byte 0xFD", "\xFD", "\\xFD"},
      {"unassigned pair", "\x95\x5C\x85\x40!", "表\\x85\\x40!"},
      {"lead byte cut off at the end", "ab\x81", "ab\\x81"},
      {"lead byte before CR", "\x81\r\n", "\\x81\r\n"},
  };
  for (const auto& invalid : kInvalid) {
    SCOPED_TRACE(invalid.what);
    EXPECT_EQ(Cp932ToUtf8(invalid.cp932), std::nullopt);
    EXPECT_EQ(Cp932ToUtf8Lossy(invalid.cp932), invalid.lossy);
  }
}

#ifdef _WIN32
// The conversions name code page 932 themselves; this checks that a test
// run meant to happen on a Japanese system (the Windows test run under Wine)
// really has it as the ANSI code page, so that the file names and the
// C runtime's texts go through it as they would there.
TEST(CodepageTest, RunsUnderTheAnsiCodePageAskedFor) {
  const char* asked = std::getenv("CORDSHIFT_TEST_ANSI_CODE_PAGE");
  if (asked == nullptr) GTEST_SKIP() << "no ANSI code page asked for";
  EXPECT_EQ(std::to_string(GetACP()), asked);
}
#endif

}  // namespace
}  // namespace cordshift
