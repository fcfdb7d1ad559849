#include "cli/text_report.h"

#include <algorithm>

#include "cli/display_width.h"

namespace cordshift {
namespace {

constexpr std::string_view kColumnGap = "  ";

std::vector<std::size_t> ColumnWidths(const TableRow& headings,
                                      const std::vector<TableRow>& rows) {
  std::vector<std::size_t> widths(headings.size(), 0);
  const auto widen = [&widths](const TableRow& row) {
    if (widths.size() < row.size()) widths.resize(row.size(), 0);
    for (std::size_t c = 0; c < row.size(); ++c) {
      widths[c] = std::max(widths[c], DisplayWidth(row[c]));
    }
  };
  widen(headings);
  for (const TableRow& row : rows) widen(row);
  return widths;
}

void AppendRow(std::string& out, const TableRow& row,
               const std::vector<std::size_t>& widths) {
  std::string line;
  for (std::size_t c = 0; c < widths.size(); ++c) {
    if (c > 0) line += kColumnGap;
    const std::string_view cell =
        c < row.size() ? std::string_view(row[c]) : std::string_view();
    line += cell;
    line.append(widths[c] - DisplayWidth(cell), ' ');
  }
  line.erase(line.find_last_not_of(' ') + 1);
  out += line;
  out += '\n';
}

}  // namespace

const TableRow& ListHeadings() {
  static const TableRow kHeadings = {"No.",    "品名",   "回路数",
                                     "端子数", "片端数", "最大端子"};
  return kHeadings;
}

std::string_view IconWord(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kInformation:
      return "information";
    case MessageIcon::kStop:
      return "stop";
    case MessageIcon::kExclamation:
      break;
  }
  return "exclamation";
}

std::string ConvertedCountText(const RecordingView& view) {
  const std::string& count = view.converted_count();
  return count.empty() ? "0" : count;
}

std::string FormatTable(const TableRow& headings,
                        const std::vector<TableRow>& rows) {
  const std::vector<std::size_t> widths = ColumnWidths(headings, rows);
  std::string out;
  AppendRow(out, headings, widths);
  for (const TableRow& row : rows) AppendRow(out, row, widths);
  return out;
}

void WriteListSection(std::ostream& out, std::string_view title,
                      const std::vector<TableRow>& rows) {
  out << title << '\n' << FormatTable(ListHeadings(), rows) << '\n';
}

}  // namespace cordshift
