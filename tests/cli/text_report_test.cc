#include "cli/text_report.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/display_width.h"

namespace cordshift {
namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The display column at which each cell after the first starts: the first
// non-blank after a two-space gap.
std::vector<std::size_t> CellStarts(const std::string& line) {
  std::vector<std::size_t> starts;
  std::size_t pos = 0;
  while ((pos = line.find("  ", pos)) != std::string::npos) {
    pos = line.find_first_not_of(' ', pos);
    if (pos == std::string::npos) break;
    starts.push_back(DisplayWidth(line.substr(0, pos)));
  }
  return starts;
}

TEST(FormatTableTest, AlignsColumnsByDisplayWidth) {
  const std::vector<TableRow> rows = {
      {"    1", "ドア左", "   3", "   5", "   0", "  B65"},
      {"   12", "W100", "  40", "  41", "   1", " 8192"},
  };
  const std::vector<std::string> lines =
      Lines(FormatTable(ListHeadings(), rows));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "No.    品名    回路数  端子数  片端数  最大端子");
  EXPECT_EQ(lines[1], "    1  ドア左     3       5       0      B65");
  EXPECT_EQ(lines[2], "   12  W100      40      41       1     8192");
}

TEST(FormatTableTest, WidensAColumnToItsLongestCellAndTrimsLineEnds) {
  const std::vector<TableRow> rows = {{"1", "とても長い品名のファイル", "2"}};
  const std::vector<std::string> lines =
      Lines(FormatTable({"No.", "品名", "回路数"}, rows));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(CellStarts(lines[0]), CellStarts(lines[1]));
  for (const std::string& line : lines) {
    EXPECT_NE(line.back(), ' ') << line;
  }
}

TEST(FormatTableTest, LeavesTheMissingCellsOfAShortRowBlank) {
  const std::vector<TableRow> rows = {{"1", "W"}, {"2", "X", "9", "8"}};
  const std::vector<std::string> lines =
      Lines(FormatTable({"A", "B", "C", "D"}, rows));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1], "1  W");
  EXPECT_EQ(lines[2], "2  X  9  8");
}

TEST(FormatTableTest, WithoutRowsShowsTheHeadingsOnly) {
  EXPECT_EQ(FormatTable(ListHeadings(), {}),
            "No.  品名  回路数  端子数  片端数  最大端子\n");
}

TEST(IconWordTest, NamesEveryIcon) {
  EXPECT_EQ(IconWord(MessageIcon::kExclamation), "exclamation");
  EXPECT_EQ(IconWord(MessageIcon::kInformation), "information");
  EXPECT_EQ(IconWord(MessageIcon::kStop), "stop");
}

// A file name reaches the terminal through tables and progress lines: a
// line break must not break the table, and an escape sequence must not
// reach the terminal.
TEST(TerminalTextTest, ShowsControlCharactersAsEscapes) {
  const struct {
    const char* text;
    const char* shown;
  } kCases[] = {
      {"W\n1", "W\\n1"},
      {"a\r\tb", "a\\r\\tb"},
      {"\x1b[2J", "\\x1b[2J"},
      {"\x7f\x01", "\\x7f\\x01"},
      {"\xc2\x9b"
       "31m",
       "\\u009b31m"},                          // C1 control (CSI) in UTF-8
      {"W\xff\xfe", "W\\xff\\xfe"},            // not UTF-8
      {"ドア左 C:\\data", "ドア左 C:\\data"},  // kept as it is
      {"", ""},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(TerminalText(c.text), c.shown) << c.shown;
  }
  const std::vector<std::string> lines =
      Lines(FormatTable(ListHeadings(), {{"1", "W\n1", "1", "2", "0", "B1"}}));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(CellStarts(lines[1]), CellStarts(lines[0]));
}

}  // namespace
}  // namespace cordshift
