#include "cli/text_report.h"

#include <algorithm>
#include <cstdint>

#include "cli/display_width.h"
#include "platform/utf8.h"

namespace cordshift {
namespace {

constexpr std::string_view kColumnGap = "  ";

const char* EscapeName(char32_t c) {
  switch (c) {
    case U'\n':
      return "\\n";
    case U'\r':
      return "\\r";
    case U'\t':
      return "\\t";
    default:
      return nullptr;
  }
}

void AppendHexEscape(std::string& out, std::string_view prefix,
                     std::uint32_t value, int digits) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += prefix;
  for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) {
    out.push_back(kHex[(value >> shift) & 0xf]);
  }
}

std::vector<std::size_t> ColumnWidths(const TableRow& headings,
                                      const std::vector<TableRow>& rows) {
  std::vector<std::size_t> widths(headings.size(), 0);
  const auto widen = [&widths](const TableRow& row) {
    if (widths.size() < row.size()) widths.resize(row.size(), 0);
    for (std::size_t column = 0; column < row.size(); ++column) {
      widths[column] = std::max(widths[column], DisplayWidth(row[column]));
    }
  };
  widen(headings);
  for (const TableRow& row : rows) widen(row);
  return widths;
}

void AppendRow(std::string& out, const TableRow& row,
               const std::vector<std::size_t>& widths) {
  std::string line;
  for (std::size_t column = 0; column < widths.size(); ++column) {
    if (column > 0) line += kColumnGap;
    const std::string_view cell = column < row.size()
                                      ? std::string_view(row[column])
                                      : std::string_view();
    line += cell;
    line.append(widths[column] - DisplayWidth(cell), ' ');
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

std::string ConvertedCountText(const RecordingDisplay& view) {
  const std::string& count = view.converted_count();
  return count.empty() ? "0" : count;
}

std::string TerminalText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    const Utf8Char c = DecodeUtf8At(text, pos);
    if (!c.valid) {
      AppendHexEscape(out, "\\x", static_cast<unsigned char>(text[pos]), 2);
    } else if (const char* name = EscapeName(c.code_point)) {
      out += name;
    } else if (c.code_point < 0x20 || c.code_point == 0x7f) {
      AppendHexEscape(out, "\\x", c.code_point, 2);
    } else if (c.code_point >= 0x80 && c.code_point < 0xa0) {
      AppendHexEscape(out, "\\u", c.code_point, 4);
    } else {
      out.append(text.substr(pos, c.length));
    }
    pos += c.length;
  }
  return out;
}

void WriteReasonLine(std::ostream& err, std::string_view reason) {
  err << "cordshift-cli: " << TerminalText(reason) << '\n';
}

std::string FormatTable(const TableRow& headings,
                        const std::vector<TableRow>& rows) {
  // Escaped before measuring, so that the columns line up as shown.
  std::vector<TableRow> shown;
  shown.reserve(rows.size());
  for (const TableRow& row : rows) {
    TableRow& cells = shown.emplace_back();
    for (const std::string& cell : row) cells.push_back(TerminalText(cell));
  }
  const std::vector<std::size_t> widths = ColumnWidths(headings, shown);
  std::string out;
  AppendRow(out, headings, widths);
  for (const TableRow& row : shown) AppendRow(out, row, widths);
  return out;
}

void WriteListSection(std::ostream& out, std::string_view title,
                      const std::vector<TableRow>& rows) {
  out << TerminalText(title) << '\n'
      << FormatTable(ListHeadings(), rows) << '\n';
}

}  // namespace cordshift
