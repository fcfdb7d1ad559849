#include "wiring/wiring_file.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sjis.h"
#include "wiring/short_record_line.h"

namespace cordshift {
namespace {

// Shift-JIS characters whose trail byte looks like ASCII.
#define SJIS_HYO "\x95\x5c"     // 表, trail byte "\"
#define SJIS_SO "\x83\x5c"      // ソ, trail byte "\"
#define SJIS_NO "\x94\x5c"      // 能, trail byte "\"
#define SJIS_DI "\x83\x61"      // ヂ, trail byte "a"
#define SJIS_A_KANA "\x83\x41"  // ア, trail byte "A"
#define SJIS_LEAD "\x95"        // a lead byte whose trail byte is missing

struct SplitCase {
  std::string_view line;
  int field_count;
  std::optional<std::pair<std::string_view, std::string_view>> expected;
};

TEST(SplitRecordTest, SplitsFieldsAndTerminalPair) {
  using Pair = std::pair<std::string_view, std::string_view>;
  const SplitCase cases[] = {
      {"0001-0017,0,2000", 3, Pair{"0001", "0017"}},
      {"A1-B1,0,100", 3, Pair{"A1", "B1"}},
      {"a1-b1,0,100", 3, Pair{"a1", "b1"}},  // not upper-cased here
      {" 12 - 65 ,1,0,2000,1,0", 6, Pair{"12", "65"}},
      {"12-,1,0,2000,1,0", 6, Pair{"12", ""}},
      {"-5,1,0,2000,1,0", 6, Pair{"", "5"}},
      {"1-2,,", 3, Pair{"1", "2"}},  // limits are only required to be there
      // Hyphens after field 1 do not count, wherever the eight-byte words
      // of the scan begin and end.
      {"1-2,0-5,1-00", 3, Pair{"1", "2"}},
      {"12345678-2,-,-", 3, Pair{"12345678", "2"}},
      {" 1234567-89 ,1,0,2000,1,0", 6, Pair{"1234567", "89"}},
      {"1234567,8-9,0", 3, std::nullopt},
      {"1-2,0,100,5", 3, std::nullopt},  // four fields
      {"1-2,0", 3, std::nullopt},        // two fields
      {"1-2-3,0,100", 3, std::nullopt},  // two hyphens
      {"12,0,100", 3, std::nullopt},     // no hyphen
      {"", 3, std::nullopt},
      {"", 6, std::nullopt},
      {"", 1, std::nullopt},
      {"1-2,0,100", 6, std::nullopt},
      {"1-2,1,0,2000,1", 6, std::nullopt},      // five fields
      {"1-2,1,0,2000,1,0,0", 6, std::nullopt},  // seven fields
      {"1-2,1,0,2000,1,0", 3, std::nullopt},
      // Double-byte characters in terminals and limits pass through whole.
      {SJIS_HYO "-" SJIS_SO ",0,100", 3, Pair{SJIS_HYO, SJIS_SO}},
      {"1-2," SJIS_HYO "," SJIS_NO, 3, Pair{"1", "2"}},
      {SJIS_DI "-" SJIS_A_KANA ",0,100", 3, Pair{SJIS_DI, SJIS_A_KANA}},
      {"1-2,0,100" SJIS_LEAD, 3, Pair{"1", "2"}},
      // A lead byte before "," or "-" must not swallow the delimiter.
      {"1-2" SJIS_LEAD ",0,100", 3, Pair{"1", "2" SJIS_LEAD}},
      {"1" SJIS_LEAD "-2,0,100", 3, Pair{"1" SJIS_LEAD, "2"}},
      {"1-2" SJIS_LEAD ",0,100", 6, std::nullopt},
      {"1" SJIS_LEAD "-" SJIS_LEAD "-2,0,100", 3, std::nullopt},
  };
  for (const SplitCase& c : cases) {
    const std::optional<TerminalPair> pair = SplitRecord(c.line, c.field_count);
    ASSERT_EQ(pair.has_value(), c.expected.has_value())
        << '"' << c.line << "\" / " << c.field_count;
    if (!pair) continue;
    EXPECT_EQ(pair->from, c.expected->first) << '"' << c.line << '"';
    EXPECT_EQ(pair->to, c.expected->second) << '"' << c.line << '"';
  }
}

// The reader that finds line ends and delimiters in one pass yields the
// lines of LineReader, each with its own delimiters only, wherever the
// eight-byte words of its scan begin and end.
TEST(RecordLineReaderTest, AgreesWithTheLineReaderAndTheLineScan) {
  const std::string_view kTexts[] = {
      "",
      "\r\n",
      "1-2,0,100",
      "1-2,0,100\r\n3-4,0,100\r\n",
      "1-2,0,100\r3-4,0,100\r",
      "1-2,0,100\n3-4,0,100\r\n\r\n",
      "A1-B1,0,2000\r\n-,-,-,\r\n12345678-9,1,0,2000,1,0\r\n,,,,,,,,\r\n-",
      "1234567\r-,\r\n" SJIS_LEAD "\r\n" SJIS_HYO "-" SJIS_SO ",0,1",
      // Lines whose end falls just inside and just beyond a 32-byte window.
      "1-2,0,100\r\nA1-B1,0,2000\r\n"
      "123456789012345678901234567890-\r\n"
      "1234567890123456789012345678901-\r\n"
      "12345678901234567890123456789012,-\r\n"
      "-,-,\ra,b\n-c\r\n,1-2,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,\r\n"
      "1-2,0,100\r\n3-4,0,100\r\n5-6,0,100\r\n",
  };
  for (const std::string_view text : kTexts) {
    SCOPED_TRACE(text);
    LineReader lines(text);
    RecordLineReader records(text);
    RecordLine record;
    while (const std::optional<std::string_view> line = lines.Next()) {
      ASSERT_TRUE(records.Next(record));
      EXPECT_EQ(record.text, *line);
      const RecordLine scanned = ScanRecordLine(*line);
      EXPECT_EQ(record.commas, scanned.commas);
      EXPECT_EQ(record.first_comma, scanned.first_comma);
      EXPECT_EQ(record.hyphens, scanned.hyphens);
      EXPECT_EQ(record.first_hyphen, scanned.first_hyphen);
    }
    EXPECT_FALSE(records.Next(record));
  }
}

// The one-step reading of a record line takes only lines it reads as the
// general reading does, and leaves every other line to it.
TEST(ShortRecordLineTest, TakesOnlyLinesItReadsLikeTheGeneralReading) {
#ifndef __SSE2__
  GTEST_SKIP() << "every line takes the general reading";
#endif
  const std::string kPadding(32, 'x');
  const struct {
    std::string text;  // the line and what follows it
    bool taken;
    std::string_view from;
    std::string_view to;
  } cases[] = {
      {"A1-B1,0,100\r\n" + kPadding, true, "A1", "B1"},
      {"1-2,0,100\r" + kPadding, true, "1", "2"},     // a lone CR
      {"1-2,0,100\r-\n" + kPadding, true, "1", "2"},  // LF not after the CR
      {"1-2,0\n,1\r\n" + kPadding, true, "1", "2"},   // a lone LF inside
      {" 1 -2,,\r\n" + kPadding, true, " 1 ", "2"},
      {"-,,\r\n" + kPadding, true, "", ""},
      // The line end at byte 30 is the last one taken.
      {"1-2,0,678901234567890123456789\r\n", true, "1", "2"},
      {"1-2,0,6789012345678901234567890\r\n", false, "", ""},
      // A hyphen is looked for among the first 16 bytes.
      {"123456789012345-1,0,1\r\n" + kPadding, true, "123456789012345", "1"},
      {"1234567890123456-1,0,1\r\n" + kPadding, false, "", ""},
      {"1-2,0,100\r\n", false, "", ""},  // fewer than 32 bytes
      {"1-2,0\r\n" + kPadding, false, "", ""},
      {"1-2,0,1,2\r\n" + kPadding, false, "", ""},
      {"12,-3,4\r\n" + kPadding, false, "", ""},
      {"12,3,4\r\n" + kPadding, false, "", ""},
      {"1-2,0,100" + kPadding, false, "", ""},  // no line end
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    ShortRecordLine line;
    ASSERT_EQ(ReadShortRecordLine<kContinuityFieldCount>(c.text, line),
              c.taken);
    if (!c.taken) continue;
    EXPECT_EQ(line.from, c.from);
    EXPECT_EQ(line.to, c.to);
    RecordLineReader records(c.text);
    RecordLine record;
    ASSERT_TRUE(records.Next(record));
    EXPECT_EQ(line.next, c.text.size() - records.rest().size());
    const std::optional<TerminalPair> pair =
        SplitRecord(record, kContinuityFieldCount);
    ASSERT_TRUE(pair.has_value());
    EXPECT_EQ(pair->from, TrimSpaces(line.from));
    EXPECT_EQ(pair->to, TrimSpaces(line.to));
  }
}

TEST(IsAbNotationTest, DecidedByFirstCharacterOfFrom) {
  const struct {
    std::string_view from;
    std::string_view to;
    bool expected;
  } cases[] = {
      {"A1", "B1", true},
      {"a1", "", true},
      {"A5", "", true},
      {"B5", "B6", true},
      {"b5", "7", true},
      {"B5", "", false},
      {"C5", "1", false},
      {"1", "2", false},
      {"", "", false},
      {"", "A1", false},
      {SJIS_DI "1", "2", false},      // ヂ: its trail byte is not "a"
      {SJIS_A_KANA "1", "2", false},  // ア: its trail byte is not "A"
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsAbNotation(TerminalPair{c.from, c.to}), c.expected)
        << '"' << c.from << "\"-\"" << c.to << '"';
  }
}

struct RecordCase {
  std::string_view line;
  bool valid;
  bool ab_notation;
  std::string_view from;  // as read (views, not upper-cased)
  std::string_view to;
  int from_number;  // AB notation only
  int to_number;
  std::string_view upper_from;  // From as the converters write it
};

TEST(ReadContinuityRecordTest, AppliesTheReadingRules) {
  const RecordCase cases[] = {
      {"0001-0002,0,100", true, false, "0001", "0002", 0, 0, "0001"},
      {"1-2,0,100", true, false, "1", "2", 0, 0, "1"},
      {"A1-B1,0,100", true, true, "A1", "B1", 1, 65, "A1"},
      {"a1-b1,0,100", true, true, "a1", "b1", 1, 65, "A1"},
      {" A65 - B64 ,0,100", true, true, "A65", "B64", 129, 128, "A65"},
      {"B4096-A4096,0,100", true, true, "B4096", "A4096", 8192, 8128, "B4096"},
      {"B5-B6,0,100", true, true, "B5", "B6", 69, 70, "B5"},
      // Sequential text with an empty To: read, counted by nobody.
      {"B5-,0,100", true, false, "B5", "", 0, 0, "B5"},
      {"5-,0,100", true, false, "5", "", 0, 0, "5"},
      {"C5-1,0,100", true, false, "C5", "1", 0, 0, "C5"},
      // Malformed AB terminals.
      {"A1-65,0,100", false, false, "", "", 0, 0, ""},
      {"A1-C5,0,100", false, false, "", "", 0, 0, ""},
      {"A0-A1,0,100", false, false, "", "", 0, 0, ""},
      {"A1-B0,0,100", false, false, "", "", 0, 0, ""},
      {"A4097-A1,0,100", false, false, "", "", 0, 0, ""},
      {"A5-,0,100", false, false, "", "", 0, 0, ""},
      {"B1-A,0,100", false, false, "", "", 0, 0, ""},
      {"A1-B99999999999,0,100", false, false, "", "", 0, 0, ""},
      // Broken layout.
      {"1-2,0,100,5", false, false, "", "", 0, 0, ""},
      {"1-2-3,0,100", false, false, "", "", 0, 0, ""},
      {"", false, false, "", "", 0, 0, ""},
      {"1-2,0", false, false, "", "", 0, 0, ""},
      // Double-byte characters are kept byte for byte.
      {SJIS_HYO "-" SJIS_SO ",0,100", true, false, SJIS_HYO, SJIS_SO, 0, 0,
       SJIS_HYO},
      {SJIS_DI "1-2,0,100", true, false, SJIS_DI "1", "2", 0, 0, SJIS_DI "1"},
      {"5-" SJIS_DI "," SJIS_NO "," SJIS_HYO, true, false, "5", SJIS_DI, 0, 0,
       "5"},
      {"a1-b1," SJIS_HYO "," SJIS_SO, true, true, "a1", "b1", 1, 65, "A1"},
      {"A1-B1,0,100" SJIS_LEAD, true, true, "A1", "B1", 1, 65, "A1"},
      {"A1-" SJIS_DI ",0,100", false, false, "", "", 0, 0, ""},
  };
  for (const RecordCase& c : cases) {
    const std::optional<ContinuityRecord> record = ReadContinuityRecord(c.line);
    ASSERT_EQ(record.has_value(), c.valid) << '"' << c.line << '"';
    if (!record) continue;
    EXPECT_EQ(record->ab_notation, c.ab_notation) << '"' << c.line << '"';
    EXPECT_EQ(record->pair.from, c.from) << '"' << c.line << '"';
    EXPECT_EQ(record->pair.to, c.to) << '"' << c.line << '"';
    if (c.ab_notation) {
      EXPECT_EQ(record->from_number, c.from_number) << '"' << c.line << '"';
      EXPECT_EQ(record->to_number, c.to_number) << '"' << c.line << '"';
    }
    std::string upper;
    AppendSjisUpper(upper, record->pair.from);
    EXPECT_EQ(upper, c.upper_from) << '"' << c.line << '"';
  }
}

TEST(IsCountLineTest, NumericAndNotNegative) {
  const struct {
    std::string_view line;
    bool expected;
  } cases[] = {
      {"0", true},           {"12", true},     {" 3 ", true},  {"1.4", true},
      {"-0.4", true},        {"-1", false},    {"abc", false}, {"", false},
      {"3000000000", false}, {"1,000", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsCountLine(c.line), c.expected) << '"' << c.line << '"';
  }
}

TEST(ReadWiringHeaderTest, TakesTheFirstFourLines) {
  const struct {
    std::string_view text;
    std::optional<std::vector<std::string_view>> header;
    std::string_view next_line;  // "" when nothing follows
  } cases[] = {
      {"TBS480\r\n20240101120000\r\n2\r\n3\r\n1-2,0,100\r\n",
       std::vector<std::string_view>{"TBS480", "20240101120000", "2", "3"},
       "1-2,0,100"},
      // A lone CR ends a line, a lone LF does not.
      {"M\r20240101120000\r\n0\r0\n1\r\n",
       std::vector<std::string_view>{"M", "20240101120000", "0", "0\n1"}, ""},
      {SJIS_HYO "\r\nD\r\n1\r\n1",
       std::vector<std::string_view>{SJIS_HYO, "D", "1", "1"}, ""},
      {"M\r\nD\r\n1\r\n", std::nullopt, ""},
      {"", std::nullopt, ""},
  };
  for (const auto& c : cases) {
    LineReader lines(c.text);
    const std::optional<WiringHeader> header = ReadWiringHeader(lines);
    ASSERT_EQ(header.has_value(), c.header.has_value()) << '"' << c.text << '"';
    if (!header) continue;
    EXPECT_EQ(header->model_name, (*c.header)[0]);
    EXPECT_EQ(header->date_time, (*c.header)[1]);
    EXPECT_EQ(header->circuit_count, (*c.header)[2]);
    EXPECT_EQ(header->terminal_count, (*c.header)[3]);
    EXPECT_EQ(lines.Next().value_or(""), c.next_line);
  }
}

// The number of the first record line that breaks the reading rules, or 0.
int FirstBadRecord(std::string_view text) {
  LineReader lines(text);
  if (!ReadWiringHeader(lines)) return -1;
  int number = 0;
  while (const std::optional<std::string_view> line = lines.Next()) {
    ++number;
    if (!ReadContinuityRecord(*line)) return number;
  }
  return 0;
}

TEST(ContinuityFileTest, EmptyLineAfterTheLastRecordFails) {
  EXPECT_EQ(FirstBadRecord("M\r\nD\r\n2\r\n2\r\n1-2,0,1\r\n3-4,0,1\r\n"), 0);
  EXPECT_EQ(FirstBadRecord("M\r\nD\r\n2\r\n2\r\n1-2,0,1\r\n3-4,0,1\r\n\r\n"),
            3);
  EXPECT_EQ(FirstBadRecord("M\r\nD\r\n2\r\n2\r\n1-2,0,1\r\n\r\n3-4,0,1\r\n"),
            2);
  EXPECT_EQ(FirstBadRecord("M\r\nD\r\n0\r\n0\r\n"), 0);
}

TEST(WriterTest, WritesHipotFileByteForByte) {
  std::string out;
  AppendWiringHeader(out, "TBS480", "20240101120000", 2, 3);
  const std::string tail = HipotRecordTail("0", "2000");
  AppendLine(out, "1-65" + tail);
  AppendLine(out, "1-66" + tail);
  EXPECT_EQ(out,
            "TBS480\r\n20240101120000\r\n2\r\n3\r\n"
            "1-65,1,0,2000,1,0\r\n1-66,1,0,2000,1,0\r\n");
}

TEST(WriterTest, ContinuityFileReadsBack) {
  std::string out;
  AppendWiringHeader(out, SJIS_HYO "480", "20240101120000", 1, 2);
  AppendLine(out, "0001-0017" + ContinuityRecordTail("0", "2000"));
  AppendLine(out, "A1-B1" + ContinuityRecordTail(" ", SJIS_NO));
  AppendLine(out, "x");
  ASSERT_EQ(out, SJIS_HYO
            "480\r\n20240101120000\r\n1\r\n2\r\n"
            "0001-0017,0,2000\r\nA1-B1, ," SJIS_NO "\r\nx\r\n");

  LineReader lines(out);
  const std::optional<WiringHeader> header = ReadWiringHeader(lines);
  ASSERT_TRUE(header.has_value());
  EXPECT_EQ(header->model_name, SJIS_HYO "480");
  EXPECT_TRUE(IsCountLine(header->circuit_count));
  const std::optional<ContinuityRecord> first =
      ReadContinuityRecord(lines.Next().value_or(""));
  ASSERT_TRUE(first.has_value());
  EXPECT_EQ(first->pair.to, "0017");
  const std::optional<ContinuityRecord> second =
      ReadContinuityRecord(lines.Next().value_or(""));
  ASSERT_TRUE(second.has_value());
  EXPECT_EQ(second->to_number, 65);
}

}  // namespace
}  // namespace cordshift

#undef SJIS_HYO
#undef SJIS_SO
#undef SJIS_NO
#undef SJIS_DI
#undef SJIS_A_KANA
#undef SJIS_LEAD
