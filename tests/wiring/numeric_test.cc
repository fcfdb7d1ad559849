#include "wiring/numeric.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <string_view>

namespace cordshift {
namespace {

struct NumericCase {
  std::string_view text;
  NumericStatus status;
  std::int32_t value;  // checked only for kOk
};

constexpr NumericStatus kOk = NumericStatus::kOk;
constexpr NumericStatus kNot = NumericStatus::kNotNumeric;
constexpr NumericStatus kRange = NumericStatus::kOutOfRange;

void PrintTo(const NumericCase& c, std::ostream* os) {
  *os << '"' << c.text << '"';
}

class ParseWholeNumberTest : public testing::TestWithParam<NumericCase> {};

TEST_P(ParseWholeNumberTest, ReadsByTheNumericRule) {
  const NumericCase& c = GetParam();
  const WholeNumber number = ParseWholeNumber(c.text);
  EXPECT_EQ(number.status, c.status) << '"' << c.text << '"';
  EXPECT_EQ(IsNumericText(c.text), c.status != kNot) << '"' << c.text << '"';
  if (c.status == kOk) {
    EXPECT_EQ(number.value, c.value) << '"' << c.text << '"';
  }
  // The one-step reading of up to four plain digits agrees with the rule;
  // the bytes after the text are ones next to the digits' range.
  const std::string followed = std::string(c.text) + "/:/:";
  const bool plain = !c.text.empty() && c.text.size() <= 4 &&
                     std::all_of(c.text.begin(), c.text.end(), [](char ch) {
                       return ch >= '0' && ch <= '9';
                     });
  EXPECT_EQ(
      ShortDigitsValue(std::string_view(followed).substr(0, c.text.size())),
      plain ? number.value : -1)
      << '"' << c.text << '"';
}

INSTANTIATE_TEST_SUITE_P(ShortPlainDigits, ParseWholeNumberTest,
                         testing::Values(NumericCase{"7", kOk, 7},
                                         NumericCase{"0042", kOk, 42},
                                         NumericCase{"9999", kOk, 9999},
                                         NumericCase{"12345", kOk, 12345},
                                         NumericCase{"1/", kNot, 0},
                                         NumericCase{":1", kNot, 0},
                                         NumericCase{"1 2", kNot, 0}));

INSTANTIATE_TEST_SUITE_P(
    RoundsHalfToEven, ParseWholeNumberTest,
    testing::Values(NumericCase{"0.5", kOk, 0}, NumericCase{"1.5", kOk, 2},
                    NumericCase{"2.5", kOk, 2}, NumericCase{"3.5", kOk, 4},
                    NumericCase{"-2.5", kOk, -2}, NumericCase{"-0.5", kOk, 0},
                    NumericCase{"-1.5", kOk, -2},
                    NumericCase{"2.5000000001", kOk, 3},
                    NumericCase{"2.4999999999", kOk, 2},
                    NumericCase{"0.49", kOk, 0}, NumericCase{"0.51", kOk, 1},
                    NumericCase{"0.05", kOk, 0}, NumericCase{"12.4", kOk, 12},
                    NumericCase{"8192.6", kOk, 8193},
                    NumericCase{"0.000000000000000000009", kOk, 0},
                    NumericCase{"25e-1", kOk, 2}, NumericCase{"35E-1", kOk, 4},
                    NumericCase{"0.15e1", kOk, 2}));

INSTANTIATE_TEST_SUITE_P(
    AcceptedForms, ParseWholeNumberTest,
    testing::Values(
        NumericCase{"0", kOk, 0}, NumericCase{"0001", kOk, 1},
        NumericCase{"8192", kOk, 8192}, NumericCase{"1e3", kOk, 1000},
        NumericCase{"1E+3", kOk, 1000}, NumericCase{"1.25e2", kOk, 125},
        NumericCase{"12500e-2", kOk, 125}, NumericCase{" 12 ", kOk, 12},
        NumericCase{"+5", kOk, 5}, NumericCase{"-1", kOk, -1},
        NumericCase{".5", kOk, 0}, NumericCase{".6", kOk, 1},
        NumericCase{"5.", kOk, 5}, NumericCase{"-.5e1", kOk, -5},
        NumericCase{"00000000000000000000042", kOk, 42},
        NumericCase{"0e999999999999", kOk, 0},
        NumericCase{"1e-99999999999", kOk, 0},
        NumericCase{"1e-999999999999999999999999", kOk, 0}));

INSTANTIATE_TEST_SUITE_P(
    ThirtyTwoBitBounds, ParseWholeNumberTest,
    testing::Values(NumericCase{"2147483647", kOk, 2147483647},
                    NumericCase{"2147483647.4", kOk, 2147483647},
                    NumericCase{"2147483647.5", kRange, 0},
                    NumericCase{"2147483648", kRange, 0},
                    NumericCase{"-2147483648", kOk, -2147483647 - 1},
                    NumericCase{"-2147483648.5", kOk, -2147483647 - 1},
                    NumericCase{"-2147483648.6", kRange, 0},
                    NumericCase{"-2147483649", kRange, 0},
                    NumericCase{"9999999999", kRange, 0},
                    NumericCase{"99999999999999999999999", kRange, 0},
                    NumericCase{"0.2147483647e10", kOk, 2147483647},
                    NumericCase{"1e9", kOk, 1000000000},
                    NumericCase{"1e10", kRange, 0},
                    NumericCase{"1e999999999999", kRange, 0},
                    NumericCase{"-1e999999999999999999999999", kRange, 0}));

INSTANTIATE_TEST_SUITE_P(
    RejectedForms, ParseWholeNumberTest,
    testing::Values(NumericCase{"", kNot, 0}, NumericCase{"   ", kNot, 0},
                    NumericCase{".", kNot, 0}, NumericCase{"+", kNot, 0},
                    NumericCase{"1e", kNot, 0}, NumericCase{"1e+", kNot, 0},
                    NumericCase{"e5", kNot, 0}, NumericCase{".e5", kNot, 0},
                    NumericCase{"--1", kNot, 0}, NumericCase{"+-1", kNot, 0},
                    NumericCase{"1-", kNot, 0}, NumericCase{"1,000", kNot, 0},
                    NumericCase{"1.2.3", kNot, 0},
                    NumericCase{"1e2.5", kNot, 0}, NumericCase{"1 2", kNot, 0},
                    NumericCase{"- 1", kNot, 0}, NumericCase{"\t12", kNot, 0},
                    NumericCase{"12\t", kNot, 0}, NumericCase{"0x10", kNot, 0},
                    NumericCase{"A1", kNot, 0}, NumericCase{"$5", kNot, 0},
                    NumericCase{"1d3", kNot, 0},
                    // full-width digit one (U+FF11)
                    NumericCase{"\x82\x50", kNot, 0},
                    // 1 followed by the ideographic space (U+3000)
                    NumericCase{"1\x81\x40", kNot, 0}));

}  // namespace
}  // namespace cordshift
