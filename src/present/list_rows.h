#ifndef CORDSHIFT_PRESENT_LIST_ROWS_H_
#define CORDSHIFT_PRESENT_LIST_ROWS_H_

// The rows of one of the window's lists, from the files' summaries: six
// columns (No., 品名, 回路数, 端子数, 片端数, 最大端子), numbers right-aligned
// in fixed widths as the tester family's tool shows them. A list shows
// whole rows, so a front end can show a folder of any size at once and
// make each cell's text only when it is drawn.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "wiring/wiring_file_list.h"

namespace cordshift {

// A listed file: its number in the folder's list (or, for a file written,
// its row), its name and its summary.
struct ListRow {
  int number = 0;
  std::string name;
  FileSummary summary;

  bool operator==(const ListRow&) const = default;
};

// How rows are written: a folder's listing, or the files a conversion
// wrote (other widths, and "-" for a file without terminals).
enum class RowStyle { kListing, kConverted };

class ListRows {
 public:
  static constexpr int kColumnCount = 6;

  ListRows() = default;
  ListRows(RowStyle style, std::vector<ListRow> rows)
      : style_(style), rows_(std::move(rows)) {}

  RowStyle style() const { return style_; }
  int size() const { return static_cast<int>(rows_.size()); }
  bool empty() const { return rows_.empty(); }
  const ListRow& row(int index) const {
    return rows_[static_cast<std::size_t>(index)];
  }
  // The text of cell `column` (0 to 5) of row `index` (from 0).
  std::string Cell(int index, int column) const;
  std::array<std::string, kColumnCount> Cells(int index) const;

 private:
  RowStyle style_ = RowStyle::kListing;
  std::vector<ListRow> rows_;
};

// The first row whose cells differ between `shown` and `next`: the size of
// the shorter when one begins with the other. A list that grows during a
// run draws only the rows from there on.
int FirstDifferentRow(const ListRows& shown, const ListRows& next);

// The rows of a listing: the files summarised among the first
// `files_read`, numbered by their place in the folder.
std::vector<ListRow> ListingRows(const WiringFileList& files, int files_read);

// The text padded with leading spaces to `width` characters; a longer text
// is returned whole.
std::string RightAlign(std::string_view text, std::size_t width);
std::string RightAlign(std::int64_t number, std::size_t width);

}  // namespace cordshift

#endif  // CORDSHIFT_PRESENT_LIST_ROWS_H_
