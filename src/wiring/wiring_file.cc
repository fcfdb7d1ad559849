#include "wiring/wiring_file.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "platform/sjis.h"
#include "wiring/check.h"
#include "wiring/notation.h"
#include "wiring/numeric.h"
#include "wiring/short_record_line.h"

namespace cordshift {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// Trail bytes of double-byte characters are 0x40 or above, so a delimiter
// or line end below 0x40 is never part of a character: a byte scan finds
// exactly the delimiters a walk character by character would, and can take
// eight bytes at a time.
constexpr std::uint64_t kEveryByte = 0x0101010101010101ULL;
constexpr std::uint64_t kLow7Bits = 0x7F7F7F7F7F7F7F7FULL;

// The high bit of each byte of `word` that equals `byte`, without carries
// between bytes, so that both the count and the first match are exact.
std::uint64_t MatchingBytes(std::uint64_t word, char byte) {
  static_assert(',' < 0x40 && '-' < 0x40 && '\r' < 0x40, "never a trail byte");
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
  static_assert(std::endian::native == std::endian::little,
                "the first byte is the lowest");
  return static_cast<std::size_t>(std::countr_zero(matches)) / 8;
}

// The bits below the first match.
std::uint64_t BeforeFirst(std::uint64_t matches) {
  return (matches & (~matches + 1)) - 1;
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

// Adds the delimiters of the word at `pos` of the line (no byte of it beyond
// the line's end) to `line`.
void AddDelimiters(RecordLine& line, std::size_t pos, std::uint64_t word) {
  const std::uint64_t commas = MatchingBytes(word, ',');
  if (line.first_comma == std::string_view::npos) {
    std::uint64_t hyphens = MatchingBytes(word, '-');
    if (commas != 0) {
      line.first_comma = pos + FirstMatch(commas);
      hyphens &= BeforeFirst(commas);
    }
    if (hyphens != 0 && line.hyphens == 0) {
      line.first_hyphen = pos + FirstMatch(hyphens);
    }
    line.hyphens += MatchCount(hyphens);
  }
  line.commas += MatchCount(commas);
}

#ifdef __SSE2__
using short_record_internal::LowestBit;
using short_record_internal::MatchingBits;

// Bit counting without a popcount instruction, which the baseline x86-64
// lacks (the library call would cost more than the rest of a record). One
// step per bit: a file's lines have the same few delimiters, so the loop's
// branch is predicted.
std::size_t BitCount(std::uint32_t bits) {
  std::size_t count = 0;
  for (; bits != 0; bits &= bits - 1) ++count;
  return count;
}

std::size_t FirstBitOrNone(std::uint32_t bits) {
  return bits != 0 ? static_cast<std::size_t>(std::countr_zero(bits))
                   : std::string_view::npos;
}

// A line that ends within the first 32 bytes of `rest` (nearly every record
// line does) with its delimiters, from two 16-byte compares per delimiter
// and no branch per word; the length of the line end is added to `next`.
// False when `rest` is shorter or the line longer.
bool ReadShortLine(std::string_view rest, RecordLine& line, std::size_t& next) {
  constexpr std::size_t kWindow = 32;
  if (rest.size() < kWindow) return false;
  const __m128i low =
      _mm_loadu_si128(reinterpret_cast<const __m128i*>(rest.data()));
  const __m128i high =
      _mm_loadu_si128(reinterpret_cast<const __m128i*>(rest.data() + 16));
  const std::uint32_t line_ends = MatchingBits(low, high, '\r');
  if (line_ends == 0) return false;
  const std::uint32_t in_line = LowestBit(line_ends) - 1;
  const std::uint32_t commas = MatchingBits(low, high, ',') & in_line;
  const std::uint32_t field_1 = commas != 0 ? LowestBit(commas) - 1 : in_line;
  const std::uint32_t hyphens = MatchingBits(low, high, '-') & field_1;
  const std::size_t end = static_cast<std::size_t>(std::countr_zero(line_ends));
  line.text = rest.substr(0, end);
  line.commas = BitCount(commas);
  line.first_comma = FirstBitOrNone(commas);
  line.hyphens = BitCount(hyphens);
  line.first_hyphen = FirstBitOrNone(hyphens);
  next = end + 1;
  if (next < rest.size() && rest[next] == '\n') ++next;
  return true;
}
#endif

// The number of an AB terminal, 0 for none; `end` is the end of the
// readable bytes after it.
int AbTerminalNumber(std::string_view text, const char* end) {
  constexpr std::ptrdiff_t kReadAhead = 5;  // the letter and four bytes
  if (end - text.data() >= kReadAhead) {
    if (const int number = ShortAbToSequence(text)) return number;
  }
  return StrictAbToSequence(text).value_or(0);
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

int RefusedHeaderLine(const WiringHeader& header) {
  if (TrimSpaces(header.model_name).empty()) return 1;
  if (!IsDateStamp(header.date_time)) return 2;
  if (!IsCountLine(header.circuit_count)) return 3;
  if (!IsCountLine(header.terminal_count)) return 4;
  return 0;
}

RecordLine ScanRecordLine(std::string_view line) {
  RecordLine found;
  found.text = line;
  for (std::size_t pos = 0; pos < line.size(); pos += sizeof(std::uint64_t)) {
    AddDelimiters(found, pos, WordAt(line, pos));
  }
  return found;
}

bool RecordLineReader::Next(RecordLine& line) {
  if (rest_.empty()) return false;
#ifdef __SSE2__
  std::size_t short_line_next = 0;
  if (ReadShortLine(rest_, line, short_line_next)) {
    rest_.remove_prefix(short_line_next);
    return true;
  }
#endif
  line = RecordLine();
  std::size_t end = rest_.size();
  for (std::size_t pos = 0; pos < rest_.size(); pos += sizeof(std::uint64_t)) {
    std::uint64_t word = WordAt(rest_, pos);
    const std::uint64_t line_ends = MatchingBytes(word, '\r');
    if (line_ends != 0) {
      end = pos + FirstMatch(line_ends);
      word &= BeforeFirst(line_ends) >> 7;  // the next line's bytes go
    }
    AddDelimiters(line, pos, word);
    if (line_ends != 0) break;
  }
  line.text = rest_.substr(0, end);
  std::size_t next = end;
  if (next < rest_.size()) {
    ++next;  // CR
    if (next < rest_.size() && rest_[next] == '\n') ++next;
  }
  rest_.remove_prefix(next);
  return true;
}

std::optional<TerminalPair> SplitRecord(const RecordLine& line,
                                        int field_count) {
  if (line.text.empty() || field_count < 1 ||
      line.commas != static_cast<std::size_t>(field_count) - 1 ||
      line.hyphens != 1) {
    return std::nullopt;
  }
  // Spaces around field 1 and around each terminal go; field 1 itself need
  // not be trimmed first, as a space is never a delimiter.
  const std::string_view field = line.text.substr(0, line.first_comma);
  return TerminalPair{TrimSpaces(field.substr(0, line.first_hyphen)),
                      TrimSpaces(field.substr(line.first_hyphen + 1))};
}

std::optional<TerminalPair> SplitRecord(std::string_view line,
                                        int field_count) {
  return SplitRecord(ScanRecordLine(line), field_count);
}

bool IsAbNotation(const TerminalPair& pair) {
  const unsigned side = AbSide(pair.from);
  return (side == 0) | ((side == 1) & !pair.to.empty());
}

std::optional<ContinuityRecord> ReadContinuityRecord(const RecordLine& line) {
  const std::optional<TerminalPair> pair =
      SplitRecord(line, kContinuityFieldCount);
  if (!pair) return std::nullopt;
  ContinuityRecord record;
  record.pair = *pair;
  record.ab_notation = IsAbNotation(*pair);
  if (!record.ab_notation) return record;

  // The lenient reading would turn A0 into -64 or C5 into 5 and so renumber a
  // damaged terminal without a word; such a record is refused instead.
  const char* end = line.text.data() + line.text.size();
  record.from_number = AbTerminalNumber(pair->from, end);
  record.to_number = AbTerminalNumber(pair->to, end);
  if (record.from_number == 0 || record.to_number == 0) return std::nullopt;
  return record;
}

std::optional<ContinuityRecord> ReadContinuityRecord(std::string_view line) {
  return ReadContinuityRecord(ScanRecordLine(line));
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

FileRead ReadWiringFile(const std::string& utf8_path) {
  return ReadFileUpTo(PathFromUtf8(utf8_path), kMaxWiringFileSize);
}

}  // namespace cordshift
