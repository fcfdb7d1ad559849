#ifndef CORDSHIFT_WIRING_SHORT_RECORD_LINE_H_
#define CORDSHIFT_WIRING_SHORT_RECORD_LINE_H_

// The record lines nearly every file consists of, found in one step and
// inlined into the conversion loops: a line of fewer than 31 bytes ending in
// CR, with the expected number of fields and a hyphen among the first 16
// bytes of field 1. Any other line (and a text too short for the step) is
// left to the general reading of wiring_file.h.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace cordshift {

// The terminals of a short record line as written (not trimmed or
// upper-cased): `from` the bytes before the first hyphen, `to` those between
// it and the first comma. When neither holds a hyphen, as a terminal of
// digits with or without a letter cannot, field 1 has exactly one and these
// are the terminals the general reading finds. `next` is where the line
// after it starts.
struct ShortRecordLine {
  std::string_view from;
  std::string_view to;
  std::size_t next = 0;
};

#ifdef __SSE2__
namespace short_record_internal {

// The bytes of a 32-byte window that equal `byte`, one bit each. Trail bytes
// of double-byte characters are 0x40 or above, so a delimiter or line end
// below 0x40 matched here is never part of a character.
inline std::uint32_t MatchingBits(__m128i low, __m128i high, char byte) {
  const __m128i pattern = _mm_set1_epi8(byte);
  const auto low_bits = static_cast<std::uint32_t>(
      _mm_movemask_epi8(_mm_cmpeq_epi8(low, pattern)));
  const auto high_bits = static_cast<std::uint32_t>(
      _mm_movemask_epi8(_mm_cmpeq_epi8(high, pattern)));
  return low_bits | (high_bits << 16);
}

// The same for the first 16 bytes only.
inline std::uint32_t MatchingBits(__m128i low, char byte) {
  return static_cast<std::uint32_t>(
      _mm_movemask_epi8(_mm_cmpeq_epi8(low, _mm_set1_epi8(byte))));
}

inline std::uint32_t LowestBit(std::uint32_t bits) {
  return bits & (~bits + 1);
}

// True when exactly `count` (1 or more) bits are set, counted by clearing
// the lowest bits, as the baseline x86-64 has no popcount instruction.
inline bool HasBitCount(std::uint32_t bits, int count) {
  for (int cleared = 1; cleared < count; ++cleared) bits &= bits - 1;
  return bits != 0 && (bits & (bits - 1)) == 0;
}

}  // namespace short_record_internal

// Finds the short record line of `kFieldCount` fields at the start of
// `rest`; false when the line is not one (the general reading then takes
// it). The 32 bytes from rest.data() are readable when it succeeds: a
// terminal that starts within the first 24 bytes can be copied eight bytes
// at a time, and one of at most four bytes read four at a time (at least
// two commas and the CR follow it within the 32).
template <int kFieldCount>
inline bool ReadShortRecordLine(std::string_view rest, ShortRecordLine& line) {
  static_assert(kFieldCount >= 3, "two commas follow field 1");
  namespace internal = short_record_internal;
  constexpr std::size_t kWindow = 32;
  // The LF after a CR in the last byte would lie outside the window.
  constexpr std::uint32_t kLineEndBytes = 0x7FFFFFFFu;
  if (rest.size() < kWindow) return false;
  const __m128i low =
      _mm_loadu_si128(reinterpret_cast<const __m128i*>(rest.data()));
  const __m128i high =
      _mm_loadu_si128(reinterpret_cast<const __m128i*>(rest.data() + 16));
  const std::uint32_t line_ends =
      internal::MatchingBits(low, high, '\r') & kLineEndBytes;
  const std::uint32_t in_line = internal::LowestBit(line_ends) - 1;
  const std::uint32_t commas = internal::MatchingBits(low, high, ',') & in_line;
  const std::uint32_t field_1 = internal::LowestBit(commas) - 1;
  // The terminals the callers take make a field 1 of at most 11 bytes.
  const std::uint32_t hyphens = internal::MatchingBits(low, '-') & field_1;
  if (line_ends == 0 || !internal::HasBitCount(commas, kFieldCount - 1) ||
      hyphens == 0) {
    return false;
  }
  const auto end = static_cast<std::size_t>(std::countr_zero(line_ends));
  const auto hyphen = static_cast<std::size_t>(std::countr_zero(hyphens));
  const auto comma = static_cast<std::size_t>(std::countr_zero(commas));
  line.from = std::string_view(rest.data(), hyphen);
  line.to = std::string_view(rest.data() + hyphen + 1, comma - hyphen - 1);
  // The LF after the CR is found among the bytes already compared rather
  // than by loading the byte after the CR: the start of the next line is
  // what the next record waits for.
  const std::uint32_t line_feeds = internal::MatchingBits(low, high, '\n');
  const bool crlf = (line_feeds & (internal::LowestBit(line_ends) << 1)) != 0;
  line.next = end + 1 + (crlf ? 1 : 0);
  return true;
}
#else
// Without SSE2 every line takes the general reading.
template <int kFieldCount>
inline bool ReadShortRecordLine(std::string_view, ShortRecordLine&) {
  return false;
}
#endif

}  // namespace cordshift

#endif  // CORDSHIFT_WIRING_SHORT_RECORD_LINE_H_
