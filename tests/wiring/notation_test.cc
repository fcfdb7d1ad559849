#include "wiring/notation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace cordshift {
namespace {

TEST(SequenceToAbTest, InterleavesBlocksOfSixtyFour) {
  const struct {
    int sequence_number;
    std::string_view ab;
  } cases[] = {
      {1, "A1"},     {64, "A64"},     {65, "B1"},      {128, "B64"},
      {129, "A65"},  {192, "A128"},   {193, "B65"},    {256, "B128"},
      {257, "A129"}, {8192, "B4096"}, {8128, "A4096"}, {8129, "B4033"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SequenceToAb(c.sequence_number), c.ab) << c.sequence_number;
  }
}

TEST(SequenceToAbTest, EveryTerminalRoundTrips) {
  std::set<std::string> seen;
  for (int terminal = 1; terminal <= TableCapacity; ++terminal) {
    const std::string ab = SequenceToAb(terminal);
    EXPECT_EQ(StrictAbToSequence(ab), terminal) << ab;
    seen.insert(ab);
  }
  // A1..A4096 and B1..B4096, each exactly once.
  EXPECT_EQ(seen.size(), static_cast<std::size_t>(TableCapacity));
  for (int ab_number = 1; ab_number <= TableCapacity / 2; ++ab_number) {
    EXPECT_TRUE(seen.count("A" + std::to_string(ab_number))) << ab_number;
    EXPECT_TRUE(seen.count("B" + std::to_string(ab_number))) << ab_number;
  }
}

TEST(TerminalTablesTest, TablesHoldEveryTerminalsTexts) {
  const auto tables = std::make_unique<TerminalTables>();
  const auto written = [](char* (TerminalTables::*write)(char*, int) const,
                          const TerminalTables& from, int terminal) {
    std::array<char, 2 * TerminalTables::kWriteRoom> room{};
    return std::string(room.data(), (from.*write)(room.data(), terminal));
  };
  for (int terminal = 1; terminal <= TableCapacity; ++terminal) {
    const std::string decimal = std::to_string(terminal);
    ASSERT_EQ(tables->AbNumber(terminal), SequenceToAb(terminal));
    ASSERT_EQ(written(&TerminalTables::WriteAbNumber, *tables, terminal),
              SequenceToAb(terminal));
    ASSERT_EQ(written(&TerminalTables::WriteDecimal, *tables, terminal),
              decimal);
    ASSERT_EQ(written(&TerminalTables::WriteFourDigits, *tables, terminal),
              std::string(4 - std::min<std::size_t>(decimal.size(), 4), '0') +
                  decimal);
  }
  EXPECT_EQ(tables->AbNumber(0), "");
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
