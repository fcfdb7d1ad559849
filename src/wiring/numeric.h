#ifndef CORDSHIFT_WIRING_NUMERIC_H_
#define CORDSHIFT_WIRING_NUMERIC_H_

// The one rule by which numbers are read from texts: after removing spaces at
// both ends, an optional sign, decimal digits with at most one decimal point
// (at least one digit), and an optional exponent (E or e, optional sign,
// digits). The whole-number value is the number rounded half to even into a
// signed 32-bit integer; a value outside that range is an error.

#include <cstdint>
#include <string_view>

namespace cordshift {

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

// Reads a text (code page 932 bytes) by the rule above.
WholeNumber ParseWholeNumber(std::string_view text);

// True when the text is numeric, whatever its range.
bool IsNumericText(std::string_view text);

}  // namespace cordshift

#endif  // CORDSHIFT_WIRING_NUMERIC_H_
