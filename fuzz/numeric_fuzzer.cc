// The numeric-text rule against two slow references: exact decimal
// arithmetic on the digit string for every short input, and long double
// where its precision is enough; plus properties that any reading of the
// rule must keep.

#include <cfenv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "wiring/numeric.h"

namespace cordshift::fuzz {
namespace {

// Inputs up to this length are compared with the references.
constexpr std::size_t kMaxReferenceLength = 64;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view TrimSpaceChars(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// A numeric text in pieces, read by a second, independent parser.
struct Pieces {
  bool negative = false;
  std::string digits;        // integer and fraction digits together
  std::size_t fraction = 0;  // how many of them follow the point
  bool exponent_negative = false;
  std::string exponent;  // exponent digits, possibly empty
};

std::optional<Pieces> Parse(std::string_view text) {
  text = TrimSpaceChars(text);
  Pieces pieces;
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    pieces.negative = text[i++] == '-';
  }
  bool seen_point = false;
  for (; i < text.size(); ++i) {
    if (IsDigit(text[i])) {
      pieces.digits.push_back(text[i]);
      if (seen_point) ++pieces.fraction;
    } else if (text[i] == '.' && !seen_point) {
      seen_point = true;
    } else {
      break;
    }
  }
  if (pieces.digits.empty()) return std::nullopt;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
      pieces.exponent_negative = text[i++] == '-';
    }
    const std::size_t start = i;
    while (i < text.size() && IsDigit(text[i])) ++i;
    if (i == start) return std::nullopt;
    pieces.exponent = std::string(text.substr(start, i - start));
  }
  if (i != text.size()) return std::nullopt;
  return pieces;
}

std::string WithoutLeadingZeros(const std::string& digits) {
  const std::size_t first = digits.find_first_not_of('0');
  return first == std::string::npos ? std::string() : digits.substr(first);
}

// Exact: the decimal point is moved within the digit string itself.
WholeNumber ExactReference(const Pieces& pieces) {
  const std::string exponent_digits = WithoutLeadingZeros(pieces.exponent);
  if (WithoutLeadingZeros(pieces.digits).empty()) {
    return {NumericStatus::kOk, 0};
  }
  // A short input cannot move its point by 10^6 places and stay in range.
  if (exponent_digits.size() > 6) {
    return pieces.exponent_negative
               ? WholeNumber{NumericStatus::kOk, 0}
               : WholeNumber{NumericStatus::kOutOfRange, 0};
  }
  const long exponent =
      (pieces.exponent_negative ? -1 : 1) *
      std::atol(exponent_digits.empty() ? "0" : exponent_digits.c_str());
  // The number is digits * 10^shift.
  const long shift = exponent - static_cast<long>(pieces.fraction);
  std::string whole;
  std::string fraction;
  // Non-zero digits times 10^21 or more are out of range whatever they are.
  if (shift > 20) return {NumericStatus::kOutOfRange, 0};
  if (shift >= 0) {
    whole = pieces.digits + std::string(static_cast<std::size_t>(shift), '0');
  } else {
    const auto places = static_cast<std::size_t>(-shift);
    if (places > pieces.digits.size()) {
      // Below 0.1: the whole part and the first fraction digit are 0.
      return {NumericStatus::kOk, 0};
    }
    whole = pieces.digits.substr(0, pieces.digits.size() - places);
    fraction = pieces.digits.substr(pieces.digits.size() - places);
  }
  whole = WithoutLeadingZeros(whole);
  if (whole.size() > 11) return {NumericStatus::kOutOfRange, 0};
  long long magnitude = whole.empty() ? 0 : std::stoll(whole);
  if (!fraction.empty()) {
    const bool above_half =
        fraction[0] > '5' ||
        (fraction[0] == '5' &&
         fraction.find_first_not_of('0', 1) != std::string::npos);
    const bool exactly_half =
        fraction[0] == '5' &&
        fraction.find_first_not_of('0', 1) == std::string::npos;
    if (above_half || (exactly_half && magnitude % 2 == 1)) ++magnitude;
  }
  const long long value = pieces.negative ? -magnitude : magnitude;
  if (value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max()) {
    return {NumericStatus::kOutOfRange, 0};
  }
  return {NumericStatus::kOk, static_cast<std::int32_t>(value)};
}

// strtold is correctly rounded; with at most 18 significant digits the
// long double lies closer to the true value than any decimal of those digits
// to a half-way point, so rounding it half to even gives the exact answer.
std::optional<WholeNumber> LongDoubleReference(std::string_view text,
                                               const Pieces& pieces) {
  const std::string significant = WithoutLeadingZeros(pieces.digits);
  const std::size_t last = significant.find_last_not_of('0');
  const std::size_t count = last == std::string::npos ? 0 : last + 1;
  if (count > 18 || pieces.exponent.size() > 4) return std::nullopt;
  const std::string copy(TrimSpaceChars(text));
  const long double parsed = std::strtold(copy.c_str(), nullptr);
  if (!std::isfinite(parsed)) return WholeNumber{NumericStatus::kOutOfRange, 0};
  std::fesetround(FE_TONEAREST);
  const long double rounded = std::nearbyintl(parsed);
  if (rounded < std::numeric_limits<std::int32_t>::min() ||
      rounded > std::numeric_limits<std::int32_t>::max()) {
    return WholeNumber{NumericStatus::kOutOfRange, 0};
  }
  return WholeNumber{NumericStatus::kOk, static_cast<std::int32_t>(rounded)};
}

bool Same(const WholeNumber& a, const WholeNumber& b) {
  return a.status == b.status && (!a.ok() || a.value == b.value);
}

void CompareWithReferences(std::string_view text, const WholeNumber& got) {
  const std::optional<Pieces> pieces = Parse(text);
  Require(pieces.has_value() == (got.status != NumericStatus::kNotNumeric),
          "numeric exactly when the reference grammar accepts the text");
  if (!pieces) return;
  Require(Same(got, ExactReference(*pieces)),
          "the value is the exact decimal rounded half to even");
  if (const std::optional<WholeNumber> approx =
          LongDoubleReference(text, *pieces)) {
    Require(Same(got, *approx), "the value agrees with long double");
  }
}

void CheckProperties(std::string_view text, const WholeNumber& got) {
  Require(IsNumericText(text) == (got.status != NumericStatus::kNotNumeric),
          "IsNumericText agrees with ParseWholeNumber");
  const std::string padded = "  " + std::string(text) + " ";
  Require(Same(ParseWholeNumber(padded), got),
          "spaces around the text change nothing");
  if (got.ok()) {
    Require(Same(ParseWholeNumber(std::to_string(got.value)), got),
            "the decimal text of the value reads as the value");
  }
  const std::string_view trimmed = TrimSpaceChars(text);
  const bool unsigned_number =
      !trimmed.empty() && (IsDigit(trimmed.front()) || trimmed.front() == '.');
  if (got.ok() && unsigned_number) {
    const WholeNumber negated = ParseWholeNumber("-" + std::string(trimmed));
    Require(negated.ok() && negated.value == -got.value,
            "a minus sign negates the value");
  }
  const bool has_exponent =
      trimmed.find_first_of("eE") != std::string_view::npos;
  if (got.status != NumericStatus::kNotNumeric && !has_exponent) {
    Require(Same(ParseWholeNumber(std::string(trimmed) + "e0"), got) &&
                Same(ParseWholeNumber(std::string(trimmed) + "E+00"), got),
            "a zero exponent changes nothing");
  }
}

}  // namespace
}  // namespace cordshift::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  namespace fuzz = cordshift::fuzz;
  const std::string_view text = fuzz::AsText(data, size);
  const cordshift::WholeNumber got = cordshift::ParseWholeNumber(text);
  fuzz::CheckProperties(text, got);
  if (size <= fuzz::kMaxReferenceLength) fuzz::CompareWithReferences(text, got);
  return 0;
}
