#ifndef CORDSHIFT_WIRING_NOTATION_H_
#define CORDSHIFT_WIRING_NOTATION_H_

// Terminal-number notations: sequential numbers 1..8192 and AB numbers
// A1..A4096, B1..B4096, interleaved in blocks of 64 (1-64 are A1-A64, 65-128
// are B1-B64, 129-192 are A65-A128, ...).

#include <array>
#include <cstddef>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "wiring/check.h"

namespace cordshift {

// The AB text of sequential number n (1 <= n <= TableCapacity); empty for
// n < 1, which has no AB number.
std::string SequenceToAb(int n);

// The texts of every terminal number 1..TableCapacity, built once at
// start-up, so that writing a terminal costs a look-up: its AB number, its
// decimal digits and its digits zero-padded to four.
class TerminalTables {
 public:
  // Room a Write function needs at `out`: it copies a whole entry and
  // advances by the text's length.
  static constexpr std::size_t kWriteRoom = 8;

  TerminalTables() { BuildTerminalTables(); }

  void BuildTerminalTables();

  // The AB text of 1 <= n <= TableCapacity; empty for 0.
  std::string_view AbNumber(int n) const {
    return ab_numbers_[Index(n)].view();
  }

  // Each writes the text of 1 <= n <= TableCapacity at `out`, which has
  // kWriteRoom bytes of room, and returns the end of the text.
  char* WriteAbNumber(char* out, int n) const {
    return ab_numbers_[Index(n)].CopyTo(out);
  }
  char* WriteDecimal(char* out, int n) const {
    return decimals_[Index(n)].CopyTo(out);
  }
  char* WriteFourDigits(char* out, int n) const {
    return four_digits_[Index(n)].CopyTo(out);
  }

 private:
  // A text of at most seven bytes and its length, copied as one block.
  struct ShortText {
    std::array<char, kWriteRoom - 1> bytes{};
    unsigned char size = 0;

    void Assign(std::string_view text);
    std::string_view view() const { return {bytes.data(), size}; }
    char* CopyTo(char* out) const {
      std::memcpy(out, this, kWriteRoom);
      return out + size;
    }
  };
  static_assert(sizeof(ShortText) == kWriteRoom);

  static std::size_t Index(int n) { return static_cast<std::size_t>(n); }

  // Entry 0 unused.
  std::array<ShortText, TableCapacity + 1> ab_numbers_;
  std::array<ShortText, TableCapacity + 1> decimals_;
  std::array<ShortText, TableCapacity + 1> four_digits_;
};

// The sequential number of a well-formed AB terminal: "A" or "B" (either
// case) followed by numeric text whose whole-number value is 1..4096. No
// value for anything else (A0, A4097, C5, 65, an empty text). This is the
// check that records in AB notation must pass: the tester family's own,
// more lenient reading would silently renumber a malformed terminal.
std::optional<int> StrictAbToSequence(std::string_view text);

}  // namespace cordshift

#endif  // CORDSHIFT_WIRING_NOTATION_H_
