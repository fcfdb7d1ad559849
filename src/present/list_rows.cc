#include "present/list_rows.h"

#include <algorithm>
#include <string>
#include <utility>

#include "platform/sjis.h"
#include "wiring/notation.h"

namespace cordshift {
namespace {

struct Widths {
  std::size_t number;
  std::size_t count;
  std::size_t highest;
};

constexpr Widths kListingWidths = {5, 4, 5};
constexpr Widths kConvertedWidths = {4, 5, 5};

std::string HighestTerminalText(const FileSummary& summary, RowStyle style) {
  const int highest = summary.highest_terminal;
  if (style == RowStyle::kConverted && highest == 0) return "-";
  return summary.highest_in_ab ? SequenceToAb(highest)
                               : std::to_string(highest);
}

}  // namespace

std::string ListRows::Cell(int index, int column) const {
  const ListRow& shown = row(index);
  const Widths& widths =
      style_ == RowStyle::kListing ? kListingWidths : kConvertedWidths;
  switch (column) {
    case 0:
      return RightAlign(shown.number, widths.number);
    case 1:
      return shown.name;
    case 2:
      return RightAlign(shown.summary.circuits, widths.count);
    case 3:
      return RightAlign(shown.summary.terminals, widths.count);
    case 4:
      return RightAlign(shown.summary.single_ended, widths.count);
    default:
      break;
  }
  return RightAlign(HighestTerminalText(shown.summary, style_), widths.highest);
}

std::array<std::string, ListRows::kColumnCount> ListRows::Cells(
    int index) const {
  std::array<std::string, kColumnCount> cells;
  for (int column = 0; column < kColumnCount; ++column) {
    cells[static_cast<std::size_t>(column)] = Cell(index, column);
  }
  return cells;
}

int FirstDifferentRow(const ListRows& shown, const ListRows& next) {
  if (shown.style() != next.style()) return 0;
  const int common = std::min(shown.size(), next.size());
  int row = 0;
  while (row < common && shown.row(row) == next.row(row)) ++row;
  return row;
}

std::vector<ListRow> ListingRows(const WiringFileList& files, int files_read) {
  std::vector<ListRow> rows;
  rows.reserve(static_cast<std::size_t>(files_read));
  for (int file_number = 1; file_number <= files_read; ++file_number) {
    const WiringFile& file = FileNumber(files, file_number);
    if (file.summarised) rows.push_back({file_number, file.name, file.summary});
  }
  return rows;
}

std::string RightAlign(std::string_view text, std::size_t width) {
  const std::size_t length = SjisCharCount(text);
  std::string aligned;
  if (length < width) aligned.append(width - length, ' ');
  aligned.append(text);
  return aligned;
}

std::string RightAlign(std::int64_t number, std::size_t width) {
  return RightAlign(std::to_string(number), width);
}

}  // namespace cordshift
