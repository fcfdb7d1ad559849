#include "wiring/check.h"

#include <gtest/gtest.h>

#include <string_view>

namespace cordshift {
namespace {

struct TextCase {
  std::string_view text;
  bool expected;
};

TEST(IsDateStampTest, AcceptsAndRejects) {
  const TextCase cases[] = {
      {"20240131235959", true},    // 31 January, 23:59:59
      {"20240000000000", true},    // month 00, day 00
      {"20241231246060", true},    // hour 24, minute 60, second 60
      {"00000101000000", true},    // year 0
      {"2024+101000000", true},    // "+1" is numeric text for the month
      {"  240101000000", true},    // spaces around a part are trimmed
      {"20241301000000", false},   // month 13
      {"20240132000000", false},   // day 32
      {"20240131250000", false},   // hour 25
      {"20240131236100", false},   // minute 61
      {"20240131235961", false},   // second 61
      {"2024-131235959", false},   // month "-1"
      {"-001013123595a", false},   // year below 0
      {"9e990131235959", false},   // year beyond 32 bits
      {"2024013123595", false},    // 13 characters
      {"202401312359590", false},  // 15 characters
      {"2024O131235959", false},   // letter O in the month
      {"2024\t131235959", false},  // tab is not a space
      {"", false},
      // 14 bytes but 12 characters: 表 and ソ are one character each
      {"2024\x95\x5c"
       "013123\x83\x5c",
       false},
      // 14 characters, one of them 表 (15 bytes)
      {"2024\x95\x5c"
       "131235959",
       false},
      // 14 characters ending in a lead byte whose trail byte is cut off
      {"2024013123595\x95", false},
  };
  for (const TextCase& c : cases) {
    EXPECT_EQ(IsDateStamp(c.text), c.expected) << '"' << c.text << '"';
  }
}

TEST(IsTerminalNumberTest, AcceptsOneToTableCapacity) {
  const TextCase cases[] = {
      {"1", true},    {"0001", true},         {"8192", true}, {"12.4", true},
      {" 17 ", true}, {"1e3", true},          {"0", false},   {"8193", false},
      {"-1", false},  {"8192.6", false},      {"0.5", false}, {"A1", false},
      {"", false},    {"99999999999", false},
  };
  for (const TextCase& c : cases) {
    EXPECT_EQ(IsTerminalNumber(c.text), c.expected) << '"' << c.text << '"';
  }
}

TEST(IsTerminalPairTest, ToMayBeEmpty) {
  struct PairCase {
    std::string_view from;
    std::string_view to;
    bool expected;
  };
  const PairCase cases[] = {
      {"5", "", true},    {"5", "17", true},  {"0001", "8192", true},
      {"", "", false},    {"", "5", false},   {"5", "8193", false},
      {"5", "A1", false}, {"A1", "5", false}, {"8193", "", false},
  };
  for (const PairCase& c : cases) {
    EXPECT_EQ(IsTerminalPair(c.from, c.to), c.expected)
        << '"' << c.from << "\"-\"" << c.to << '"';
  }
}

}  // namespace
}  // namespace cordshift
