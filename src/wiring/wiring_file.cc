#include "wiring/wiring_file.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/sjis.h"
#include "wiring/check.h"
#include "wiring/notation.h"
#include "wiring/numeric.h"

namespace cordshift {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// The delimiters of a record line: every "," and the "-" of field 1. Trail
// bytes of double-byte characters are 0x40 or above, so a delimiter below
// 0x40 is never part of a character: a byte scan finds exactly the
// delimiters a walk character by character would, and can take eight bytes
// at a time.
struct RecordDelimiters {
  std::size_t commas = 0;
  std::size_t first_comma = std::string_view::npos;
  std::size_t hyphens = 0;  // in field 1
  std::size_t first_hyphen = std::string_view::npos;
};

constexpr std::uint64_t kEveryByte = 0x0101010101010101ULL;
constexpr std::uint64_t kLow7Bits = 0x7F7F7F7F7F7F7F7FULL;

// The high bit of each byte of `word` that equals `byte`, without carries
// between bytes, so that both the count and the first match are exact.
std::uint64_t MatchingBytes(std::uint64_t word, char byte) {
  const std::uint64_t x =
      word ^ (kEveryByte * static_cast<unsigned char>(byte));
  return ~(((x & kLow7Bits) + kLow7Bits) | x | kLow7Bits);
}

std::size_t MatchCount(std::uint64_t matches) {
  // Each match is one high bit; the multiplication adds them in the top
  // byte (no popcount instruction is assumed).
  return static_cast<std::size_t>(((matches >> 7) * kEveryByte) >> 56);
}

std::size_t FirstMatch(std::uint64_t matches) {
  return static_cast<std::size_t>(std::countr_zero(matches)) / 8;
}

// The bytes of `text` from `pos` on, at most eight, as one word with the
// first byte lowest; missing bytes are zero, which matches no delimiter.
std::uint64_t WordAt(std::string_view text, std::size_t pos) {
  std::uint64_t word = 0;
  if (text.size() - pos >= sizeof word) {
    std::memcpy(&word, text.data() + pos, sizeof word);
    return word;
  }
  for (std::size_t i = 0; pos + i < text.size(); ++i) {
    word |= std::uint64_t{static_cast<unsigned char>(text[pos + i])} << (8 * i);
  }
  return word;
}

RecordDelimiters ScanRecordDelimiters(std::string_view line) {
  static_assert(std::endian::native == std::endian::little,
                "the first match is found from the low byte up");
  static_assert(',' < 0x40 && '-' < 0x40, "never a trail byte");
  RecordDelimiters found;
  for (std::size_t pos = 0; pos < line.size(); pos += sizeof(std::uint64_t)) {
    const std::uint64_t word = WordAt(line, pos);
    const std::uint64_t commas = MatchingBytes(word, ',');
    if (found.first_comma == std::string_view::npos) {
      std::uint64_t hyphens = MatchingBytes(word, '-');
      if (commas != 0) {
        found.first_comma = pos + FirstMatch(commas);
        hyphens &= (commas & (~commas + 1)) - 1;  // those before the comma
      }
      if (hyphens != 0 && found.hyphens == 0) {
        found.first_hyphen = pos + FirstMatch(hyphens);
      }
      found.hyphens += MatchCount(hyphens);
    }
    found.commas += MatchCount(commas);
  }
  return found;
}

// The sequential number of an AB terminal of the usual form, a letter and
// one to four plain digits; no value for any other form, which
// StrictAbToSequence then reads. The four bytes after the letter must be
// readable.
std::optional<int> ShortAbToSequence(std::string_view text) {
  constexpr int kBlockSize = 64;
  constexpr int kHighestAbNumber = TableCapacity / 2;
  const char side = SjisFirstCharUpper(text);
  if (text.size() < 2 || (side != 'A' && side != 'B')) return std::nullopt;
  const int number = ShortDigitsValue(text.substr(1));
  if (number < 1 || number > kHighestAbNumber) return std::nullopt;
  const int block = (number - 1) / kBlockSize;
  const int offset = (number - 1) % kBlockSize;
  return 2 * kBlockSize * block + offset + 1 + (side == 'B' ? kBlockSize : 0);
}

// The number of an AB terminal that ends at least four bytes before `end`.
std::optional<int> AbTerminalNumber(std::string_view text, const char* end) {
  constexpr std::ptrdiff_t kReadAhead = 5;  // the letter and four bytes
  if (end - text.data() >= kReadAhead) {
    if (const std::optional<int> number = ShortAbToSequence(text)) {
      return number;
    }
  }
  return StrictAbToSequence(text);
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
  if (line.empty() || field_count < 1) return std::nullopt;
  const RecordDelimiters found = ScanRecordDelimiters(line);
  if (found.commas != static_cast<std::size_t>(field_count) - 1 ||
      found.hyphens != 1) {
    return std::nullopt;
  }
  // Spaces around field 1 and around each terminal go; field 1 itself need
  // not be trimmed first, as spaces are never a delimiter.
  const std::string_view field = line.substr(0, found.first_comma);
  return TerminalPair{TrimSpaces(field.substr(0, found.first_hyphen)),
                      TrimSpaces(field.substr(found.first_hyphen + 1))};
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
  const char* end = line.data() + line.size();
  const std::optional<int> from = AbTerminalNumber(pair->from, end);
  const std::optional<int> to = AbTerminalNumber(pair->to, end);
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
