#include "wiring/verification.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "wiring/numeric.h"
#include "wiring/wiring_file.h"

namespace cordshift {
namespace {

std::string Lines(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\r\n";
  return bytes;
}

ConversionExpectation Expect(Direction direction,
                             std::optional<Notation> notation,
                             std::optional<std::string> model_name = {},
                             std::optional<std::string> lower = {},
                             std::optional<std::string> upper = {}) {
  return {direction, notation, std::move(model_name), std::move(lower),
          std::move(upper)};
}

const ConversionExpectation kToHipot =
    Expect(Direction::kContinuityToHipot, std::nullopt, "TBS480", "0", "2000");
const ConversionExpectation kToAb =
    Expect(Direction::kHipotToContinuity, Notation::kAb, "TBL480", "0", "2000");
const ConversionExpectation kToSeq =
    Expect(Direction::kHipotToContinuity, Notation::kSequential, "TBL480", "0",
           "2000");
// As the verify command compares without --model, --lower, --upper and
// --notation.
const ConversionExpectation kToContinuityAnyway =
    Expect(Direction::kHipotToContinuity, std::nullopt);

const std::vector<std::string> kContinuitySource = {
    "M", "20240101000000", "9", "9", "A1-B1,0,100", "0001-0017,0,100"};
const std::vector<std::string> kHipot = {
    "TBS480", "20240101000000",    "2",
    "3",      "1-65,1,0,2000,1,0", "0001-0017,1,0,2000,1,0"};
const std::vector<std::string> kHipotSource = {
    "TBS480", "20231224120000", "2",
    "3",      "1-65,1,5,6,1,0", " 1 - 66 ,1,0,2,1,0"};
const std::vector<std::string> kContinuityAb = {
    "TBL480", "20231224120000", "2", "3", "A1-B1,0,2000", "A1-B2,0,2000"};
const std::vector<std::string> kContinuitySeq = {
    "TBL480", "20231224120000",   "2",
    "3",      "0001-0065,0,2000", "0001-0066,0,2000"};

// `lines` with line `number` (1-based) replaced, or removed for nullopt.
std::vector<std::string> With(std::vector<std::string> lines, int number,
                              std::optional<std::string> line) {
  const auto at = lines.begin() + (number - 1);
  if (line) {
    *at = *line;
  } else {
    lines.erase(at);
  }
  return lines;
}

std::vector<std::string> Plus(std::vector<std::string> lines,
                              const std::string& line) {
  lines.push_back(line);
  return lines;
}

struct CompareCase {
  const char* name;
  const ConversionExpectation& expectation;
  std::vector<std::string> source;
  std::vector<std::string> converted;
  std::optional<Mismatch> mismatch;
};

Mismatch At(MismatchKind kind, int source_line, int destination_line,
            std::string expected, std::string found) {
  return {kind, source_line, destination_line, std::move(expected),
          std::move(found)};
}

class CompareTest : public ::testing::TestWithParam<CompareCase> {};

// The terminals of the source's records as a listing reads them: From and
// To numbers; no value when one names no number.
std::optional<ListedTerminals> Listed(const CompareCase& c) {
  const bool continuity =
      c.expectation.direction == Direction::kContinuityToHipot;
  ListedTerminals listed;
  for (std::size_t line = 4; line < c.source.size(); ++line) {
    const std::optional<TerminalPair> pair =
        SplitRecord(c.source[line], continuity ? 3 : 6);
    if (!pair) return std::nullopt;
    const std::optional<ContinuityRecord> record =
        continuity ? ReadContinuityRecord(c.source[line]) : std::nullopt;
    if (record && record->ab_notation) {
      listed.insert(listed.end(), {record->from_number, record->to_number});
      continue;
    }
    const WholeNumber from = ParseWholeNumber(pair->from);
    const WholeNumber to = ParseWholeNumber(pair->to);
    if (!from.ok() || !to.ok()) return std::nullopt;
    listed.insert(listed.end(), {from.value, to.value});
  }
  return listed;
}

TEST_P(CompareTest, FindsTheFirstLineThatDiffers) {
  const CompareCase& c = GetParam();
  const std::string source = Lines(c.source);
  const std::string converted = Lines(c.converted);
  EXPECT_EQ(CompareConvertedFile(source, converted, c.expectation), c.mismatch);
  // The terminals a listing read give the same answer.
  if (const std::optional<ListedTerminals> listed = Listed(c)) {
    EXPECT_EQ(CompareConvertedFile(source, converted, c.expectation, &*listed),
              c.mismatch);
  }
}

// Terminals listed before the source changed are only a shortcut: the
// bytes converted decide.
TEST(CompareListedTest, TheSourceDecidesWhereTheListedTerminalsDiffer) {
  const std::string source = Lines(kContinuitySource);
  const std::string converted = Lines(kHipot);
  for (const ListedTerminals& stale :
       {ListedTerminals{1, 66, 1, 17}, ListedTerminals{1, 65}}) {
    EXPECT_EQ(CompareConvertedFile(source, converted, kToHipot, &stale),
              std::nullopt);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CompareTest,
    ::testing::Values(
        CompareCase{"ToHipot", kToHipot, kContinuitySource, kHipot, {}},
        // Terminals are compared by the terminal they name.
        CompareCase{"ToHipotZeroPadded",
                    kToHipot,
                    kContinuitySource,
                    With(kHipot, 5, "0001-065,1,0,2000,1,0"),
                    {}},
        CompareCase{"ToHipotTerminal", kToHipot, kContinuitySource,
                    With(kHipot, 5, "1-66,1,0,2000,1,0"),
                    At(MismatchKind::kRecord, 5, 5, "1-65,1,0,2000,1,0",
                       "1-66,1,0,2000,1,0")},
        CompareCase{"ToHipotSwapped", kToHipot, kContinuitySource,
                    With(kHipot, 5, "65-1,1,0,2000,1,0"),
                    At(MismatchKind::kRecord, 5, 5, "1-65,1,0,2000,1,0",
                       "65-1,1,0,2000,1,0")},
        CompareCase{"ToHipotUpperLimit", kToHipot, kContinuitySource,
                    With(kHipot, 6, "0001-0017,1,0,2001,1,0"),
                    At(MismatchKind::kRecord, 6, 6, "0001-0017,1,0,2000,1,0",
                       "0001-0017,1,0,2001,1,0")},
        CompareCase{"ToHipotFixedField", kToHipot, kContinuitySource,
                    With(kHipot, 5, "1-65,1,0,2000,1,1"),
                    At(MismatchKind::kRecord, 5, 5, "1-65,1,0,2000,1,0",
                       "1-65,1,0,2000,1,1")},
        CompareCase{"ToHipotFiveFields", kToHipot, kContinuitySource,
                    With(kHipot, 5, "1-65,1,0,2000,1"),
                    At(MismatchKind::kRecord, 5, 5, "1-65,1,0,2000,1,0",
                       "1-65,1,0,2000,1")},
        CompareCase{"ToHipotFirstRecordDropped", kToHipot, kContinuitySource,
                    With(kHipot, 5, std::nullopt),
                    At(MismatchKind::kRecord, 5, 5, "1-65,1,0,2000,1,0",
                       "0001-0017,1,0,2000,1,0")},
        CompareCase{"ToHipotLastRecordDropped", kToHipot, kContinuitySource,
                    With(kHipot, 6, std::nullopt),
                    At(MismatchKind::kMissingRecord, 6, 6,
                       "0001-0017,1,0,2000,1,0", "")},
        CompareCase{
            "ToHipotExtraRecord", kToHipot, kContinuitySource,
            Plus(kHipot, "2-3,1,0,2000,1,0"),
            At(MismatchKind::kExtraRecord, 0, 7, "", "2-3,1,0,2000,1,0")},
        CompareCase{"ToHipotExtraEmptyLine", kToHipot, kContinuitySource,
                    Plus(kHipot, ""),
                    At(MismatchKind::kExtraRecord, 0, 7, "", "")},
        CompareCase{"ModelName", kToHipot, kContinuitySource,
                    With(kHipot, 1, "TBS481"),
                    At(MismatchKind::kHeaderLine, 1, 1, "TBS480", "TBS481")},
        CompareCase{"Date", kToHipot, kContinuitySource,
                    With(kHipot, 2, "20240101000001"),
                    At(MismatchKind::kHeaderLine, 2, 2, "20240101000000",
                       "20240101000001")},
        // The counts are those of the source's records, not its header.
        CompareCase{"CircuitCount", kToHipot, kContinuitySource,
                    With(kHipot, 3, "9"),
                    At(MismatchKind::kHeaderLine, 3, 3, "2", "9")},
        CompareCase{"TerminalCount", kToHipot, kContinuitySource,
                    With(kHipot, 4, "4"),
                    At(MismatchKind::kHeaderLine, 4, 4, "3", "4")},
        CompareCase{"ShortHeader",
                    kToHipot,
                    kContinuitySource,
                    {"TBS480", "20240101000000"},
                    At(MismatchKind::kHeaderLine, 3, 3, "2", "")},
        // The lowest line that differs comes first.
        CompareCase{"HeaderBeforeRecord", kToHipot, kContinuitySource,
                    With(With(kHipot, 6, std::nullopt), 4, "2"),
                    At(MismatchKind::kHeaderLine, 4, 4, "3", "2")},
        CompareCase{"SourceRecordNoConversionTakes", kToHipot,
                    With(kContinuitySource, 6, "A1-A2-A3,0,100"), kHipot,
                    At(MismatchKind::kSourceLine, 6, 0, "", "A1-A2-A3,0,100")},
        CompareCase{"ToAb", kToAb, kHipotSource, kContinuityAb, {}},
        CompareCase{"ToAbLowerCase",
                    kToAb,
                    kHipotSource,
                    With(kContinuityAb, 6, "a1-b2,0,2000"),
                    {}},
        CompareCase{
            "ToAbTerminal", kToAb, kHipotSource,
            With(kContinuityAb, 6, "A1-B3,0,2000"),
            At(MismatchKind::kRecord, 6, 6, "A1-B2,0,2000", "A1-B3,0,2000")},
        CompareCase{"ToAbWrittenSequential", kToAb, kHipotSource,
                    kContinuitySeq,
                    At(MismatchKind::kRecord, 5, 5, "A1-B1,0,2000",
                       "0001-0065,0,2000")},
        CompareCase{"ToSeq", kToSeq, kHipotSource, kContinuitySeq, {}},
        CompareCase{"ToSeqWrittenAb", kToSeq, kHipotSource, kContinuityAb,
                    At(MismatchKind::kRecord, 5, 5, "0001-0065,0,2000",
                       "A1-B1,0,2000")},
        // Without a notation, model name or limits asked for, any match;
        // a mismatch then shows the fields that are not compared as found.
        CompareCase{"AnyNotation",
                    kToContinuityAnyway,
                    kHipotSource,
                    With(With(kContinuityAb, 1, "OTHER"), 6, "0001-0066,7,8"),
                    {}},
        CompareCase{
            "AnyNotationTerminal", kToContinuityAnyway, kHipotSource,
            With(kContinuitySeq, 6, "0001-0067,7,8"),
            At(MismatchKind::kRecord, 6, 6, "0001-0066,7,8", "0001-0067,7,8")},
        // Single-ended circuits and terminals beyond the table never reach
        // the continuity side.
        CompareCase{
            "SingleEndedSource", kToAb,
            With(kHipotSource, 6, "12-,1,0,2000,1,0"), kContinuityAb,
            At(MismatchKind::kSourceLine, 6, 0, "", "12-,1,0,2000,1,0")},
        CompareCase{
            "SourceBeyondTable", kToAb,
            With(kHipotSource, 5, "1-8193,1,0,2000,1,0"), kContinuityAb,
            At(MismatchKind::kSourceLine, 5, 0, "", "1-8193,1,0,2000,1,0")},
        CompareCase{"SourceShortHeader",
                    kToAb,
                    {"TBS480"},
                    kContinuityAb,
                    At(MismatchKind::kSourceLine, 2, 0, "", "")}),
    [](const auto& test_info) { return std::string(test_info.param.name); });

}  // namespace
}  // namespace cordshift
