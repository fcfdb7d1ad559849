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

namespace short_digits_internal {

inline constexpr std::size_t kDigits = 4;

// The bytes of a word that are all `byte`.
template <typename Word>
constexpr Word EveryByte(unsigned char byte) {
  return static_cast<Word>(static_cast<Word>(~Word{0}) / 0xFF * byte);
}

// The four bytes from text.data() (1 to 4 of them the text) with the text's
// bytes moved to the top and "0" filling the bottom: "12" reads as "0012".
// The first digit is the lowest byte (little-endian).
inline std::uint32_t PaddedDigitBytes(std::string_view text) {
  std::uint32_t chunk = 0;
  std::memcpy(&chunk, text.data(), kDigits);
  const unsigned missing = 8 * static_cast<unsigned>(kDigits - text.size());
  return static_cast<std::uint32_t>(
      ((std::uint64_t{chunk} << missing) & 0xFFFFFFFFu) |
      (std::uint64_t{0x30303030} >> (32 - missing)));
}

// True when every byte is "0".."9". A carry out of a byte happens only above
// a byte that is no digit, so it cannot make a word of digits pass.
template <typename Word>
bool AllDigitBytes(Word bytes) {
  constexpr Word kHighNibbles = EveryByte<Word>(0xF0);
  return ((bytes & kHighNibbles) |
          (((bytes + EveryByte<Word>(0x06)) & kHighNibbles) >> 4)) ==
         EveryByte<Word>(0x33);
}

// The digit pairs of a word of digits: bytes 0 and 2 of each 32-bit half
// then hold two digits' value each.
template <typename Word>
Word DigitPairs(Word bytes) {
  const Word digits = bytes - EveryByte<Word>('0');
  return digits * 10 + (digits >> 8);
}

inline int FourDigitValue(std::uint64_t pairs) {
  return static_cast<int>((pairs & 0xFF) * 100 + ((pairs >> 16) & 0xFF));
}

inline bool IsShort(std::string_view text) {
  return text.size() - 1 < kDigits;  // 1 to 4 bytes
}

}  // namespace short_digits_internal

// The value of one to four plain digits, read in one step rather than digit
// by digit, which costs a mispredicted branch per number of random length;
// -1 for any other text. The four bytes from text.data() on must be
// readable: the text is followed by others.
inline int ShortDigitsValue(std::string_view text) {
  namespace internal = short_digits_internal;
  if (!internal::IsShort(text)) return -1;
  const std::uint32_t bytes = internal::PaddedDigitBytes(text);
  if (!internal::AllDigitBytes(bytes)) return -1;
  return internal::FourDigitValue(internal::DigitPairs(bytes));
}

// ShortDigitsValue of the two terminals of a record at once, a 32-bit half
// of one word each; false (and the values unset) when either is not one to
// four plain digits.
inline bool ShortDigitsValues(std::string_view first, std::string_view second,
                              int& first_value, int& second_value) {
  namespace internal = short_digits_internal;
  const bool first_short = internal::IsShort(first);
  const bool second_short = internal::IsShort(second);
  if (!(first_short & second_short)) return false;
  const std::uint64_t bytes =
      internal::PaddedDigitBytes(first) |
      (std::uint64_t{internal::PaddedDigitBytes(second)} << 32);
  if (!internal::AllDigitBytes(bytes)) return false;
  const std::uint64_t pairs = internal::DigitPairs(bytes);
  first_value = internal::FourDigitValue(pairs);
  second_value = internal::FourDigitValue(pairs >> 32);
  return true;
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
