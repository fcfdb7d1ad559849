#include "wiring/terminal_tally.h"

#include <gtest/gtest.h>

#include <memory>
#include <string_view>
#include <vector>

namespace cordshift {
namespace {

struct TallyCase {
  const char* name;
  std::vector<std::string_view> terminals;
  int expected_count;
  int expected_highest;
};

TEST(TerminalTallyTest, CountsDistinctTerminalsInRange) {
  const TallyCase cases[] = {
      {"mixed", {"3", "3", "17", "0", "A1", "9000"}, 2, 17},
      {"none", {}, 0, 0},
      {"only invalid", {"0", "-1", "8193", "", "B5", "1,000"}, 0, 0},
      {"bounds", {"8192", "1"}, 2, 8192},
      {"same terminal spelled differently", {"0001", "1", " 1 ", "1.4"}, 1, 1},
      {"rounded", {"12.5", "13.5"}, 2, 14},  // 12 and 14
      {"out of 32 bits", {"99999999999", "5"}, 1, 5},
  };
  for (const TallyCase& c : cases) {
    auto tally = std::make_unique<TerminalTally>();
    tally->ResetTerminalTally();
    for (const std::string_view terminal : c.terminals) {
      tally->TallyTerminal(terminal);
    }
    EXPECT_EQ(tally->SummarizeTerminals(), c.expected_count) << c.name;
    EXPECT_EQ(tally->HighestTerminal(), c.expected_highest) << c.name;
  }
}

TEST(TerminalTallyTest, IgnoresTerminalsBeforeTheFirstReset) {
  auto tally = std::make_unique<TerminalTally>();
  tally->TallyTerminal("5");
  tally->TallyTerminalNumber(6);
  EXPECT_EQ(tally->SummarizeTerminals(), 0);
  EXPECT_EQ(tally->HighestTerminal(), 0);
}

TEST(TerminalTallyTest, ResetForgetsThePreviousFile) {
  auto tally = std::make_unique<TerminalTally>();
  tally->ResetTerminalTally();
  tally->TallyTerminal("100");
  tally->TallyTerminal("200");
  ASSERT_EQ(tally->SummarizeTerminals(), 2);
  ASSERT_EQ(tally->HighestTerminal(), 200);

  tally->ResetTerminalTally();
  EXPECT_EQ(tally->SummarizeTerminals(), 0);
  EXPECT_EQ(tally->HighestTerminal(), 0);
  tally->TallyTerminal("7");
  EXPECT_EQ(tally->SummarizeTerminals(), 1);
  EXPECT_EQ(tally->HighestTerminal(), 7);
}

TEST(TerminalTallyTest, TalliesKnownNumbersInRangeOnly) {
  auto tally = std::make_unique<TerminalTally>();
  tally->ResetTerminalTally();
  for (const std::int64_t number :
       {std::int64_t{0}, std::int64_t{-64}, std::int64_t{8193},
        std::int64_t{1} << 40, std::int64_t{4096}, std::int64_t{4096}}) {
    tally->TallyTerminalNumber(number);
  }
  EXPECT_EQ(tally->SummarizeTerminals(), 1);
  EXPECT_EQ(tally->HighestTerminal(), 4096);
}

}  // namespace
}  // namespace cordshift
