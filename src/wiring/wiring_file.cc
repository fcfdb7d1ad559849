#include "wiring/wiring_file.h"

#include <array>
#include <charconv>
#include <cstddef>

#include "platform/sjis.h"
#include "wiring/notation.h"
#include "wiring/numeric.h"

namespace cordshift {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// Where a single-byte delimiter occurs, walking character by character so
// that the trail byte of a double-byte character is never taken for it.
struct DelimiterScan {
  std::size_t count = 0;
  std::size_t first = std::string_view::npos;
};

DelimiterScan ScanDelimiter(std::string_view text, char delimiter) {
  DelimiterScan scan;
  const std::size_t size = text.size();
  for (std::size_t pos = 0; pos < size; ++pos) {
    const auto byte = static_cast<unsigned char>(text[pos]);
    if (byte == static_cast<unsigned char>(delimiter)) {
      if (scan.count == 0) scan.first = pos;
      ++scan.count;
    } else if (byte >= 0x80 && SjisCharLength(text, pos) == 2) {
      ++pos;  // the trail byte is part of this character
    }
  }
  return scan;
}

std::optional<TerminalPair> SplitTerminalPair(std::string_view field) {
  field = TrimSpaces(field);
  const DelimiterScan hyphens = ScanDelimiter(field, '-');
  if (hyphens.count != 1) return std::nullopt;
  return TerminalPair{TrimSpaces(field.substr(0, hyphens.first)),
                      TrimSpaces(field.substr(hyphens.first + 1))};
}

std::string_view DecimalText(std::int64_t value, std::array<char, 24>& buffer) {
  const auto result =
      std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  return std::string_view(buffer.data(),
                          static_cast<std::size_t>(result.ptr - buffer.data()));
}

}  // namespace

std::optional<WiringHeader> ReadWiringHeader(LineReader& lines) {
  std::array<std::string_view, 4> header_lines;
  for (std::string_view& line : header_lines) {
    const std::optional<std::string_view> next = lines.Next();
    if (!next) return std::nullopt;
    line = *next;
  }
  return WiringHeader{header_lines[0], header_lines[1], header_lines[2],
                      header_lines[3]};
}

bool IsCountLine(std::string_view line) {
  const WholeNumber number = ParseWholeNumber(line);
  return number.ok() && number.value >= 0;
}

std::optional<TerminalPair> SplitRecord(std::string_view line,
                                        int field_count) {
  if (line.empty()) return std::nullopt;
  const DelimiterScan commas = ScanDelimiter(line, ',');
  if (field_count < 1 ||
      commas.count != static_cast<std::size_t>(field_count) - 1) {
    return std::nullopt;
  }
  return SplitTerminalPair(line.substr(0, commas.first));
}

bool IsAbNotation(const TerminalPair& pair) {
  const char first = SjisFirstCharUpper(pair.from);
  return first == 'A' || (first == 'B' && !pair.to.empty());
}

std::optional<ContinuityRecord> ReadContinuityRecord(std::string_view line) {
  const std::optional<TerminalPair> pair =
      SplitRecord(line, kContinuityFieldCount);
  if (!pair) return std::nullopt;
  ContinuityRecord record;
  record.pair = *pair;
  record.ab_notation = IsAbNotation(*pair);
  if (!record.ab_notation) return record;

  // The lenient reading would turn A0 into -64 or C5 into 5 and so renumber a
  // damaged terminal without a word; such a record is refused instead.
  const std::optional<int> from = StrictAbToSequence(pair->from);
  const std::optional<int> to = StrictAbToSequence(pair->to);
  if (!from || !to) return std::nullopt;
  record.from_number = *from;
  record.to_number = *to;
  return record;
}

void AppendLine(std::string& out, std::string_view text) {
  out.append(text);
  out.append(kLineEnd);
}

void AppendDecimal(std::string& out, std::int64_t value) {
  std::array<char, 24> buffer;
  out.append(DecimalText(value, buffer));
}

void AppendWiringHeader(std::string& out, std::string_view model_name,
                        std::string_view date_time, std::int64_t circuit_count,
                        std::int64_t terminal_count) {
  AppendLine(out, model_name);
  AppendLine(out, date_time);
  AppendDecimal(out, circuit_count);
  out.append(kLineEnd);
  AppendDecimal(out, terminal_count);
  out.append(kLineEnd);
}

std::string ContinuityRecordTail(std::string_view lower,
                                 std::string_view upper) {
  std::string tail;
  tail.reserve(lower.size() + upper.size() + 2);
  tail.append(",").append(lower).append(",").append(upper);
  return tail;
}

std::string HipotRecordTail(std::string_view lower, std::string_view upper) {
  std::string tail;
  tail.reserve(lower.size() + upper.size() + 8);
  tail.append(",1,").append(lower).append(",").append(upper).append(",1,0");
  return tail;
}

std::string FormatTerminal4(std::int64_t number) {
  constexpr std::size_t kMinDigits = 4;
  std::array<char, 24> buffer;
  std::string_view digits = DecimalText(number, buffer);
  std::string text;
  if (!digits.empty() && digits.front() == '-') {
    text.push_back('-');
    digits.remove_prefix(1);
  }
  if (digits.size() < kMinDigits) text.append(kMinDigits - digits.size(), '0');
  text.append(digits);
  return text;
}

std::string RightAlign(std::string_view text, std::size_t width) {
  const std::size_t length = SjisCharCount(text);
  std::string aligned;
  if (length < width) aligned.append(width - length, ' ');
  aligned.append(text);
  return aligned;
}

std::string RightAlign(std::int64_t number, std::size_t width) {
  std::array<char, 24> buffer;
  return RightAlign(DecimalText(number, buffer), width);
}

FileRead ReadWiringFile(const std::string& utf8_path) {
  return ReadFileUpTo(PathFromUtf8(utf8_path), kMaxWiringFileSize);
}

std::string ReadFailureDetail(const FileRead& read) {
  if (read.error != ReadError::kTooLarge) return "cannot be read";
  return "too large to process (" + std::to_string(read.size) +
         " bytes; the limit is " + std::to_string(kMaxWiringFileSize) +
         " bytes)";
}

}  // namespace cordshift
