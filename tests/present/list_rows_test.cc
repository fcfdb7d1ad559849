#include "present/list_rows.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace cordshift {
namespace {

using Cells = std::array<std::string, ListRows::kColumnCount>;

// The six columns as the tester family's tool writes them: a listing in
// widths 5/4/4/4/5 with the highest terminal in the file's notation, the
// files a conversion wrote in widths 4/5/5/5/5 with "-" for none.
TEST(ListRowsTest, CellsFollowTheStyleOfTheList) {
  const struct {
    const char* what;
    RowStyle style;
    ListRow row;
    Cells cells;
  } kCases[] = {
      {"listing, AB",
       RowStyle::kListing,
       {1, "W1", {3, 5, 0, 193, true}},
       {"    1", "W1", "   3", "   5", "   0", "  B65"}},
      {"listing, sequential",
       RowStyle::kListing,
       {12, "W", {2, 3, 1, 8192, false}},
       {"   12", "W", "   2", "   3", "   1", " 8192"}},
      {"listing, no terminal",
       RowStyle::kListing,
       {3, "E", {0, 0, 0, 0, false}},
       {"    3", "E", "   0", "   0", "   0", "    0"}},
      {"converted, AB",
       RowStyle::kConverted,
       {2, "W2", {2, 4, 0, 8192, true}},
       {"   2", "W2", "    2", "    4", "    0", "B4096"}},
      {"converted, no terminal",
       RowStyle::kConverted,
       {1, "E", {0, 0, 0, 0, false}},
       {"   1", "E", "    0", "    0", "    0", "    -"}},
      {"values wider than the column are whole",
       RowStyle::kListing,
       {123456, "Long", {100000, 12345, 0, 65, false}},
       {"123456", "Long", "100000", "12345", "   0", "   65"}},
  };
  for (const auto& c : kCases) {
    const ListRows rows(c.style, {c.row});
    EXPECT_EQ(rows.Cells(0), c.cells) << c.what;
  }
}

// A listing shows the files summarised among those read, numbered by their
// place in the folder.
TEST(ListRowsTest, ListingRowsSkipFilesWithoutASummary) {
  WiringFileList files(4);
  const char* names[] = {"a", "b", "c", "d"};
  for (std::size_t i = 0; i < files.size(); ++i) files[i].name = names[i];
  files[0].summarised = true;
  files[2].summarised = true;
  files[3].summarised = true;  // beyond the files read
  const std::vector<ListRow> rows = ListingRows(files, 3);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].number, 1);
  EXPECT_EQ(rows[1].number, 3);
  EXPECT_EQ(rows[1].name, "c");
}

// A list drawn again starts at the first row that changed.
TEST(ListRowsTest, FirstDifferentRowIsWhereTheListChanged) {
  const auto rows = [](RowStyle style, std::vector<const char*> names) {
    std::vector<ListRow> list;
    for (const char* name : names) {
      list.push_back({static_cast<int>(list.size()) + 1, name, {}});
    }
    return ListRows(style, std::move(list));
  };
  struct Case {
    const char* what;
    ListRows shown;
    ListRows next;
    int first;
  };
  const Case kCases[] = {
      {"grown", rows(RowStyle::kConverted, {"a"}),
       rows(RowStyle::kConverted, {"a", "b", "c"}), 1},
      {"same", rows(RowStyle::kConverted, {"a", "b"}),
       rows(RowStyle::kConverted, {"a", "b"}), 2},
      {"shrunk", rows(RowStyle::kConverted, {"a", "b"}),
       rows(RowStyle::kConverted, {"a"}), 1},
      {"another folder", rows(RowStyle::kListing, {"a", "b"}),
       rows(RowStyle::kListing, {"x", "b"}), 0},
      {"from empty", rows(RowStyle::kConverted, {}),
       rows(RowStyle::kConverted, {"a"}), 0},
      {"other style", rows(RowStyle::kListing, {"a"}),
       rows(RowStyle::kConverted, {"a", "b"}), 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(FirstDifferentRow(c.shown, c.next), c.first);
  }
}

TEST(ListRowsTest, RightAlignsInFixedWidths) {
  EXPECT_EQ(RightAlign("12", 4), "  12");
  EXPECT_EQ(RightAlign("12345", 4), "12345");
  EXPECT_EQ(RightAlign("", 3), "   ");
  // 表 in Shift-JIS is one character of two bytes.
  EXPECT_EQ(RightAlign("\x95\x5c", 3), "  \x95\x5c");
  EXPECT_EQ(RightAlign(0, 5), "    0");
  EXPECT_EQ(RightAlign(-12, 4), " -12");
  EXPECT_EQ(RightAlign(123456, 5), "123456");
}

}  // namespace
}  // namespace cordshift
