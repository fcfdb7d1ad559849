#ifndef CORDSHIFT_WIRING_NOTATION_H_
#define CORDSHIFT_WIRING_NOTATION_H_

// Terminal-number notations: sequential numbers 1..8192 and AB numbers
// A1..A4096, B1..B4096, interleaved in blocks of 64 (1-64 are A1-A64, 65-128
// are B1-B64, 129-192 are A65-A128, ...).

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "wiring/check.h"

namespace cordshift {

// The AB text of sequential number n (1 <= n <= TableCapacity); empty for
// n < 1, which has no AB number.
std::string SequenceToAb(int n);

// The table built once at start-up: the AB text of every sequential number
// 1..TableCapacity, so that writing a terminal in AB notation costs a look-up.
class TerminalTables {
 public:
  TerminalTables() { BuildTerminalTables(); }

  void BuildTerminalTables();

  // The AB text of 1 <= n <= TableCapacity.
  std::string_view AbNumber(int n) const { return ab_numbers_[Index(n)]; }

 private:
  static std::size_t Index(int n) { return static_cast<std::size_t>(n); }

  std::array<std::string, TableCapacity + 1> ab_numbers_;  // 0 unused
};

// The sequential number of a well-formed AB terminal: "A" or "B" (either
// case) followed by numeric text whose whole-number value is 1..4096. No
// value for anything else (A0, A4097, C5, 65, an empty text). This is the
// check that records in AB notation must pass: the tester family's own,
// more lenient reading would silently renumber a malformed terminal.
std::optional<int> StrictAbToSequence(std::string_view text);

}  // namespace cordshift

#endif  // CORDSHIFT_WIRING_NOTATION_H_
