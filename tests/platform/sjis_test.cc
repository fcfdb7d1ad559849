#include "platform/sjis.h"

#include <gtest/gtest.h>

#include <string>

#include "support/sjis_samples.h"

namespace cordshift {
namespace {

using testing::Cat;
using testing::kA;
using testing::kDi;
using testing::kHyo;
using testing::kIdeographicSpace;
using testing::kSo;

TEST(SjisTest, CountsCharactersNotBytes) {
  const struct {
    const char* what;
    std::string text;
    std::size_t count;
  } kCases[] = {
      {"empty", "", 0},
      {"ascii", "abc", 3},
      {"trail bytes that look like ascii", Cat({kHyo, kSo, kDi}), 3},
      {"mixed", Cat({"a", kDi, "b"}), 3},
      {"lead byte cut off at the end", Cat({kHyo, "\x81"}), 2},
      {"lead byte before a comma stands alone", "\x81,", 2},
      {"lead byte before CR stands alone", "\x81\r", 2},
      {"halfwidth katakana are single bytes", "\xB1\xB2", 2},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(SjisCharCount(c.text), c.count);
  }
}

TEST(SjisTest, UpperCasesOnlySingleByteLetters) {
  const struct {
    const char* what;
    std::string text;
    std::string upper;
  } kCases[] = {
      {"ascii", "abc-xyz", "ABC-XYZ"},
      {"di keeps its trail byte", std::string(kDi), std::string(kDi)},
      {"letters around di", Cat({"a", kDi, "z"}), Cat({"A", kDi, "Z"})},
      {"lead byte cut off at the end", "x\x81", "X\x81"},
      {"lead byte before a letter pairs with it", "\x81z", "\x81z"},
      {"halfwidth katakana", "\xB1q", "\xB1Q"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(SjisToUpper(c.text), c.upper);
    std::string in_place = c.text;
    SjisToUpperInPlace(in_place);
    EXPECT_EQ(in_place, c.upper);
    std::string appended = "p:";
    AppendSjisUpper(appended, c.text);
    EXPECT_EQ(appended, "p:" + c.upper);
  }
  EXPECT_NE(SjisToUpper(kDi), kA);
  EXPECT_EQ(SjisFirstCharUpper("abc"), 'A');
  EXPECT_EQ(SjisFirstCharUpper("1a"), '1');
  EXPECT_EQ(SjisFirstCharUpper(kDi), 0);
  EXPECT_EQ(SjisFirstCharUpper(""), 0);
}

TEST(SjisTest, TrimsOnlyTheGivenBlanks) {
  const std::string wide_space_text = Cat({" ", kIdeographicSpace, kHyo, " "});
  EXPECT_EQ(TrimSpaces("  a b  "), "a b");
  EXPECT_EQ(TrimSpaces("\ta\t"), "\ta\t");
  EXPECT_EQ(TrimSpaces("   "), "");
  EXPECT_EQ(TrimSpaces(wide_space_text), Cat({kIdeographicSpace, kHyo}));
  EXPECT_EQ(TrimBlanks(" \ta b\t "), "a b");
  EXPECT_EQ(TrimBlanks("\r a \r"), "\r a \r");
}

TEST(SjisTest, SkipsAndCutsWholeCharacters) {
  EXPECT_EQ(SjisDropFirstChar(""), "");
  EXPECT_EQ(SjisDropFirstChar("abc"), "bc");
  EXPECT_EQ(SjisDropFirstChar(Cat({kDi, "a"})), "a");
  EXPECT_EQ(SjisDropFirstChar("\x81"), "");
  EXPECT_EQ(SjisDropFirstChar("\x81\r\n"), "\r\n");

  const std::string text = Cat({"a", kHyo, kSo, "b"});
  EXPECT_EQ(SjisCharOffset(text, 0), 0u);
  EXPECT_EQ(SjisCharOffset(text, 2), 3u);
  EXPECT_EQ(SjisCharOffset(text, 3), 5u);
  EXPECT_EQ(SjisCharOffset(text, 9), text.size());
  EXPECT_EQ(SjisSubstr(text, 1, 2), Cat({kHyo, kSo}));
  EXPECT_EQ(SjisSubstr(text, 2, 9), Cat({kSo, "b"}));
  EXPECT_EQ(SjisSubstr(text, 9, 1), "");
}

}  // namespace
}  // namespace cordshift
