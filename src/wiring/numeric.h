#ifndef CORDSHIFT_WIRING_NUMERIC_H_
#define CORDSHIFT_WIRING_NUMERIC_H_

// The one rule by which numbers are read from texts: after removing spaces at
// both ends, an optional sign, decimal digits with at most one decimal point
// (at least one digit), and an optional exponent (E or e, optional sign,
// digits). The whole-number value is the number rounded half to even into a
// signed 32-bit integer; a value outside that range is an error.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace cordshift {

static_assert(std::endian::native == std::endian::little,
              "ShortDigitsValue reads the first digit from the low byte");

enum class NumericStatus {
  kOk,          // numeric, value in range
  kNotNumeric,  // not a numeric text
  kOutOfRange,  // numeric, but the rounded value does not fit 32 bits
};

struct WholeNumber {
  NumericStatus status = NumericStatus::kNotNumeric;
  std::int32_t value = 0;  // meaningful only with kOk

  bool ok() const { return status == NumericStatus::kOk; }
};

// The value of one to four plain digits, read in one step rather than digit
// by digit, which costs a mispredicted branch per number of random length;
// -1 for any other text. The four bytes from text.data() on must be
// readable: the text is followed by others.
inline int ShortDigitsValue(std::string_view text) {
  constexpr std::size_t kDigits = 4;
  if (text.empty() || text.size() > kDigits) return -1;
  std::uint32_t chunk = 0;
  std::memcpy(&chunk, text.data(), kDigits);
  // The digits move to the high bytes, "0" fills the low ones: "12" reads
  // as "0012". The first digit is the lowest byte (little-endian).
  const unsigned missing = 8 * static_cast<unsigned>(kDigits - text.size());
  const std::uint64_t padded =
      ((std::uint64_t{chunk} << missing) & 0xFFFFFFFFu) |
      (std::uint64_t{0x30303030} >> (32 - missing));
  const auto bytes = static_cast<std::uint32_t>(padded);
  const bool all_digits =
      ((bytes & 0xF0F0F0F0u) | (((bytes + 0x06060606u) & 0xF0F0F0F0u) >> 4)) ==
      0x33333333u;
  if (!all_digits) return -1;
  std::uint32_t pairs = bytes - 0x30303030u;
  pairs = pairs * 10 + (pairs >> 8);  // bytes 0 and 2: two digits each
  return static_cast<int>((pairs & 0xFF) * 100 + ((pairs >> 16) & 0xFF));
}

// Reads a text (code page 932 bytes) by the rule above, whatever its form.
WholeNumber ParseNumericText(std::string_view text);

// The same; one to four plain digits, the form of nearly every terminal
// number, are read here without a call.
inline WholeNumber ParseWholeNumber(std::string_view text) {
  constexpr std::size_t kMaxShortDigits = 4;
  if (!text.empty() && text.size() <= kMaxShortDigits) {
    std::int32_t value = 0;
    bool digits = true;
    for (const char c : text) {
      digits = digits && c >= '0' && c <= '9';
      value = value * 10 + (c - '0');
    }
    if (digits) return {NumericStatus::kOk, value};
  }
  return ParseNumericText(text);
}

// True when the text is numeric, whatever its range.
bool IsNumericText(std::string_view text);

}  // namespace cordshift

#endif  // CORDSHIFT_WIRING_NUMERIC_H_
