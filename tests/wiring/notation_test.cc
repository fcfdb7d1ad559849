#include "wiring/notation.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace cordshift {
namespace {

TEST(SequenceToAbTest, InterleavesBlocksOfSixtyFour) {
  const struct {
    int n;
    std::string_view ab;
  } cases[] = {
      {1, "A1"},     {64, "A64"},     {65, "B1"},      {128, "B64"},
      {129, "A65"},  {192, "A128"},   {193, "B65"},    {256, "B128"},
      {257, "A129"}, {8192, "B4096"}, {8128, "A4096"}, {8129, "B4033"},
  };
  for (const auto& c : cases) EXPECT_EQ(SequenceToAb(c.n), c.ab) << c.n;
}

TEST(SequenceToAbTest, EveryTerminalRoundTrips) {
  std::set<std::string> seen;
  for (int n = 1; n <= TableCapacity; ++n) {
    const std::string ab = SequenceToAb(n);
    EXPECT_EQ(AbToSequence(ab), std::to_string(n)) << ab;
    EXPECT_EQ(StrictAbToSequence(ab), n) << ab;
    seen.insert(ab);
  }
  // A1..A4096 and B1..B4096, each exactly once.
  EXPECT_EQ(seen.size(), static_cast<std::size_t>(TableCapacity));
  for (int m = 1; m <= TableCapacity / 2; ++m) {
    EXPECT_TRUE(seen.count("A" + std::to_string(m))) << m;
    EXPECT_TRUE(seen.count("B" + std::to_string(m))) << m;
  }
}

TEST(TerminalTablesTest, TablesHoldBothNotations) {
  const auto tables = std::make_unique<TerminalTables>();
  for (int n = 1; n <= TableCapacity; ++n) {
    ASSERT_EQ(tables->SequenceText(n), std::to_string(n));
    ASSERT_EQ(tables->AbNumber(n), SequenceToAb(n));
  }
}

TEST(TerminalTablesTest, LookupAbNumber) {
  const struct {
    std::string_view text;
    bool found;
    std::string_view ab;  // expected ab text (the input on failure)
    std::string_view
        sequence;  // expected sequential text ("keep" when untouched)
  } cases[] = {
      {"0065", true, "B1", "65"},
      {"0129", true, "A65", "129"},
      {"8192", true, "B4096", "8192"},
      {"0001", true, "A1", "1"},
      {"065", true, "B1", "65"},   // three characters are enough
      {" 65 ", true, "B1", "65"},  // four characters, numeric
      {"64.6", true, "B1", "65"},  // value rounded half to even
      {"0000", false, "0000", "keep"},
      {"8193", false, "8193", "keep"},
      {"12", false, "12", "keep"},        // too short
      {"00001", false, "00001", "keep"},  // too long
      {"", false, "", "keep"},
      {"A001", false, "A001", "keep"},
      {"1e99", false, "1e99", "keep"},  // too large for 32 bits
      {"-001", false, "-001", "keep"},
      // 表 then 12: three characters, not numeric
      {"\x95\x5c"
       "12",
       false,
       "\x95\x5c"
       "12",
       "keep"},
  };
  const auto tables = std::make_unique<TerminalTables>();
  for (const auto& c : cases) {
    std::string ab = "stale";
    std::string sequence = "keep";
    EXPECT_EQ(tables->LookupAbNumber(c.text, ab, sequence), c.found)
        << '"' << c.text << '"';
    EXPECT_EQ(ab, c.ab) << '"' << c.text << '"';
    EXPECT_EQ(sequence, c.sequence) << '"' << c.text << '"';
  }
}

TEST(AbToSequenceTest, LenientReading) {
  const struct {
    std::string_view text;
    std::optional<std::int64_t> expected;
  } cases[] = {
      {"A1", 1},
      {"a1", 1},
      {"A001", 1},
      {"B1", 65},
      {"b1", 65},
      {"B64", 128},
      {"A65", 129},
      {"B4096", 8192},
      {"C5", 5},    // any other first character is the A side
      {"55", 5},    // so is a digit
      {"A0", -64},  // floor division below one
      {"B0", 0},
      {"A-1", -65},
      {"A-64", -192},
      {"A-65", -193},
      {"A4097", 8193},  // no upper bound
      {"A 5", 5},       // the rest is numeric text, spaces trimmed
      {"A2147483647", 4294967231},
      {"\x95\x5c"
       "5",
       5},  // 表5: the rest starts after both bytes
      {"\x83\x61"
       "5",
       5},  // ヂ5: trail byte 0x61 is not a letter a
      {"\x83\x61"
       "B5",
       std::nullopt},
      {"A", std::nullopt},
      {"5", std::nullopt},
      {"", std::nullopt},
      {"AB", std::nullopt},
      {"A1-2", std::nullopt},
      {"A99999999999", std::nullopt},  // beyond 32 bits
      {"\x95\x5c", std::nullopt},      // 表 alone
  };
  for (const auto& c : cases) {
    EXPECT_EQ(AbToSequenceNumber(c.text), c.expected) << '"' << c.text << '"';
    const std::optional<std::string> text = AbToSequence(c.text);
    ASSERT_EQ(text.has_value(), c.expected.has_value()) << '"' << c.text << '"';
    if (text) {
      EXPECT_EQ(*text, std::to_string(*c.expected));
    }
  }
}

TEST(StrictAbToSequenceTest, AcceptsOnlyWellFormedAbTerminals) {
  const struct {
    std::string_view text;
    std::optional<int> expected;
  } cases[] = {
      {"A1", 1},
      {"a1", 1},
      {"A001", 1},
      {"B1", 65},
      {"b64", 128},
      {"A65", 129},
      {"A4096", 8128},
      {"B4096", 8192},
      {"A0", std::nullopt},
      {"B0", std::nullopt},
      {"A4097", std::nullopt},
      {"B4097", std::nullopt},
      {"A-1", std::nullopt},
      {"C5", std::nullopt},
      {"65", std::nullopt},
      {"", std::nullopt},
      {"A", std::nullopt},
      {"B", std::nullopt},
      {"AA1", std::nullopt},
      {"A1,000", std::nullopt},
      {"A99999999999", std::nullopt},
      {"\x95\x5c"
       "1",
       std::nullopt},  // 表1
      {"\x83\x41"
       "1",
       std::nullopt},  // ア1: trail byte 0x41 is not a letter A
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StrictAbToSequence(c.text), c.expected) << '"' << c.text << '"';
  }
}

}  // namespace
}  // namespace cordshift
