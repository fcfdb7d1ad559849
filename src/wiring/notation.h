#ifndef CORDSHIFT_WIRING_NOTATION_H_
#define CORDSHIFT_WIRING_NOTATION_H_

// Terminal-number notations: sequential numbers 1..8192 and AB numbers
// A1..A4096, B1..B4096, interleaved in blocks of 64 (1-64 are A1-A64, 65-128
// are B1-B64, 129-192 are A65-A128, ...).

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "wiring/check.h"

namespace cordshift {

// The AB text of sequential number n (1 <= n <= TableCapacity); empty for
// n < 1, which has no AB number.
std::string SequenceToAb(int n);

// The two tables built once at start-up: the decimal text and the AB text of
// every sequential number 1..TableCapacity.
class TerminalTables {
 public:
  TerminalTables() { BuildTerminalTables(); }

  void BuildTerminalTables();

  // Looks up a text of 3 or 4 characters that is numeric with a value
  // 1..TableCapacity (callers pass four-digit texts such as 0065). On
  // success sets `ab_text` and `sequence_text` and returns true; otherwise
  // sets `ab_text` to the input, leaves `sequence_text` alone and returns
  // false.
  bool LookupAbNumber(std::string_view text, std::string& ab_text,
                      std::string& sequence_text) const;

  // Table entries for 1 <= n <= TableCapacity.
  std::string_view AbNumber(int n) const { return ab_numbers_[Index(n)]; }
  std::string_view SequenceText(int n) const {
    return sequence_texts_[Index(n)];
  }

 private:
  static std::size_t Index(int n) { return static_cast<std::size_t>(n); }

  std::array<std::string, TableCapacity + 1> sequence_texts_;  // 0 unused
  std::array<std::string, TableCapacity + 1> ab_numbers_;      // 0 unused
};

// The sequential number of an AB text as the tester family reads it: the
// first character (upper-cased) "B" means the B side, anything else the A
// side; the rest is numeric text with any value (A4097 gives 8193, A0 gives
// -64). No value when the rest is empty, not numeric or out of range.
std::optional<std::int64_t> AbToSequenceNumber(std::string_view text);
// The same as decimal text without leading zeros.
std::optional<std::string> AbToSequence(std::string_view text);

// The sequential number of a well-formed AB terminal: "A" or "B" (either
// case) followed by numeric text whose whole-number value is 1..4096. No
// value for anything else (A0, A4097, C5, 65, an empty text). This is the
// check that records in AB notation must pass: the lenient rule above would
// silently renumber a malformed terminal.
std::optional<int> StrictAbToSequence(std::string_view text);

}  // namespace cordshift

#endif  // CORDSHIFT_WIRING_NOTATION_H_
