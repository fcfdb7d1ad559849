#include "wiring/numeric.h"

#include <cstddef>
#include <limits>
#include <optional>

#include "platform/sjis.h"

namespace cordshift {
namespace {

// Exponents beyond this magnitude are clamped while they are read. Any text
// that fits in memory has far fewer digits, so a clamped exponent still puts
// the decimal point well beyond every digit: the value stays out of range (or
// zero) exactly as the unclamped exponent would make it.
constexpr std::int64_t kExponentClamp = 1'000'000'000'000'000;

// A numeric text taken apart: value = +/- digits(int . frac) * 10^exponent.
struct DecimalParts {
  bool negative = false;
  std::string_view int_digits;
  std::string_view frac_digits;
  std::int64_t exponent = 0;
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Takes the run of digits at the start of `text` off it and returns the run.
std::string_view TakeDigits(std::string_view& text) {
  std::size_t length = 0;
  while (length < text.size() && IsDigit(text[length])) ++length;
  const std::string_view digits = text.substr(0, length);
  text.remove_prefix(length);
  return digits;
}

bool TakeSign(std::string_view& text) {
  if (text.empty() || (text.front() != '+' && text.front() != '-')) {
    return false;
  }
  const bool negative = text.front() == '-';
  text.remove_prefix(1);
  return negative;
}

std::int64_t ClampedExponent(std::string_view digits, bool negative) {
  std::int64_t magnitude = 0;
  for (const char c : digits) {
    magnitude = magnitude * 10 + (c - '0');
    if (magnitude >= kExponentClamp) {
      magnitude = kExponentClamp;
      break;
    }
  }
  return negative ? -magnitude : magnitude;
}

std::optional<DecimalParts> SplitDecimal(std::string_view text) {
  text = TrimSpaces(text);
  DecimalParts parts;
  parts.negative = TakeSign(text);
  parts.int_digits = TakeDigits(text);
  if (!text.empty() && text.front() == '.') {
    text.remove_prefix(1);
    parts.frac_digits = TakeDigits(text);
  }
  if (parts.int_digits.empty() && parts.frac_digits.empty()) {
    return std::nullopt;
  }
  if (!text.empty() && (text.front() == 'e' || text.front() == 'E')) {
    text.remove_prefix(1);
    const bool exponent_negative = TakeSign(text);
    const std::string_view exponent_digits = TakeDigits(text);
    if (exponent_digits.empty()) return std::nullopt;
    parts.exponent = ClampedExponent(exponent_digits, exponent_negative);
  }
  if (!text.empty()) return std::nullopt;
  return parts;
}

// The mantissa digits as one sequence, integer digits first.
class DigitSequence {
 public:
  explicit DigitSequence(const DecimalParts& parts)
      : int_digits_(parts.int_digits), frac_digits_(parts.frac_digits) {}

  std::size_t size() const { return int_digits_.size() + frac_digits_.size(); }
  int operator[](std::size_t i) const {
    const char c = i < int_digits_.size()
                       ? int_digits_[i]
                       : frac_digits_[i - int_digits_.size()];
    return c - '0';
  }

 private:
  std::string_view int_digits_;
  std::string_view frac_digits_;
};

// Rounds the magnitude to a whole number, half to even. With the leading
// zeros dropped the magnitude is 0.d1 d2 ... dn * 10^point (d1 != 0); a point
// above 10 means at least 10^10, beyond any 32-bit value.
std::optional<std::int64_t> RoundedMagnitude(const DecimalParts& parts) {
  const DigitSequence digits(parts);
  std::size_t first = 0;
  while (first < digits.size() && digits[first] == 0) ++first;
  if (first == digits.size()) return 0;

  const std::int64_t point =
      static_cast<std::int64_t>(parts.int_digits.size()) -
      static_cast<std::int64_t>(first) + parts.exponent;
  constexpr std::int64_t kMaxWholeDigits = 10;
  if (point > kMaxWholeDigits) return std::nullopt;
  if (point < 0) return 0;  // below 0.1

  const std::size_t fraction_start = first + static_cast<std::size_t>(point);
  std::int64_t whole = 0;
  for (std::size_t i = first; i < fraction_start; ++i) {
    whole = whole * 10 + (i < digits.size() ? digits[i] : 0);
  }
  if (fraction_start >= digits.size()) return whole;

  const int first_fraction_digit = digits[fraction_start];
  bool round_up = first_fraction_digit > 5;
  if (first_fraction_digit == 5) {
    bool beyond_half = false;
    for (std::size_t i = fraction_start + 1; i < digits.size(); ++i) {
      if (digits[i] != 0) {
        beyond_half = true;
        break;
      }
    }
    round_up = beyond_half || whole % 2 == 1;
  }
  return round_up ? whole + 1 : whole;
}

// Terminal numbers and counts are nearly always plain digits; reading them
// directly keeps the per-record cost low. Nine digits always fit 32 bits.
std::optional<std::int32_t> PlainDigitsValue(std::string_view text) {
  constexpr std::size_t kMaxPlainDigits = 9;
  if (text.empty() || text.size() > kMaxPlainDigits) return std::nullopt;
  std::int32_t value = 0;
  for (const char c : text) {
    if (!IsDigit(c)) return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

}  // namespace

WholeNumber ParseNumericText(std::string_view text) {
  if (const std::optional<std::int32_t> plain = PlainDigitsValue(text)) {
    return {NumericStatus::kOk, *plain};
  }
  const std::optional<DecimalParts> parts = SplitDecimal(text);
  if (!parts) return {NumericStatus::kNotNumeric, 0};

  const std::optional<std::int64_t> magnitude = RoundedMagnitude(*parts);
  if (!magnitude) return {NumericStatus::kOutOfRange, 0};
  const std::int64_t value = parts->negative ? -*magnitude : *magnitude;
  if (value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max()) {
    return {NumericStatus::kOutOfRange, 0};
  }
  return {NumericStatus::kOk, static_cast<std::int32_t>(value)};
}

bool IsNumericText(std::string_view text) {
  return SplitDecimal(text).has_value();
}

}  // namespace cordshift
