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
#include "wiring/numeric.h"

namespace cordshift {

// The AB text of a sequential number 1..TableCapacity; empty for a number
// below 1, which has no AB number.
std::string SequenceToAb(int sequence_number);

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

  // The AB text of terminal 1..TableCapacity; empty for 0.
  std::string_view AbNumber(int terminal) const {
    return ab_numbers_[Index(terminal)].view();
  }

  // Each writes the text of terminal 1..TableCapacity at `out`, which has
  // kWriteRoom bytes of room, and returns the end of the text.
  char* WriteAbNumber(char* out, int terminal) const {
    return ab_numbers_[Index(terminal)].CopyTo(out);
  }
  char* WriteDecimal(char* out, int terminal) const {
    return decimals_[Index(terminal)].CopyTo(out);
  }
  char* WriteFourDigits(char* out, int terminal) const {
    return four_digits_[Index(terminal)].CopyTo(out);
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

  static std::size_t Index(int terminal) {
    return static_cast<std::size_t>(terminal);
  }

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

// 0 for a text that starts with A, 1 for one that starts with B (either
// case), 2 or more otherwise; no A or B is part of a double-byte character
// there. Sides are random from record to record, so they are told apart by
// arithmetic rather than by branches the processor would mispredict.
inline unsigned AbSide(std::string_view text) {
  constexpr unsigned char kCaseBit = 0x20;
  if (text.empty()) return 2;
  const auto first = static_cast<unsigned char>(text.front());
  return static_cast<unsigned char>(first & ~kCaseBit) - unsigned{'A'};
}

namespace short_ab_internal {

inline constexpr int kBlockShift = 6;  // blocks of 64
inline constexpr int kHighestAbNumber = TableCapacity / 2;

// The sequential number of AB number 1..kHighestAbNumber of side 0 (A) or
// 1 (B).
inline int Sequence(unsigned side, int number) {
  constexpr int kBlockSize = 1 << kBlockShift;
  const int index = number - 1;
  return ((index >> kBlockShift) << (kBlockShift + 1)) +
         (index & (kBlockSize - 1)) + 1 + static_cast<int>(side) * kBlockSize;
}

inline bool IsAbNumber(int number) {
  return static_cast<unsigned>(number - 1) <
         static_cast<unsigned>(kHighestAbNumber);
}

inline std::string_view AfterLetter(std::string_view text) {
  return std::string_view(text.data() + 1, text.size() - 1);
}

}  // namespace short_ab_internal

// The sequential number of an AB terminal of the usual form, a letter and
// one to four plain digits; 0 for any other form, which StrictAbToSequence
// then reads. The four bytes after the letter must be readable. (An int
// rather than an optional: GCC returns an optional<int> through memory, at
// the cost of a stalled load per terminal.)
inline int ShortAbToSequence(std::string_view text) {
  namespace internal = short_ab_internal;
  if (text.size() < 2) return 0;
  const unsigned side = AbSide(text);
  const int number = ShortDigitsValue(internal::AfterLetter(text));
  const bool ab_number = internal::IsAbNumber(number);
  if ((side > 1) | !ab_number) return 0;
  return internal::Sequence(side, number);
}

// ShortAbToSequence of the two terminals of a record at once; false (and
// the numbers unset) when either is not of the usual form.
inline bool ShortAbPairToSequence(std::string_view from, std::string_view to,
                                  int& from_number, int& to_number) {
  namespace internal = short_ab_internal;
  constexpr std::size_t kShortest = 2;  // the letter and a digit
  constexpr std::size_t kLengths = 4;   // 2 to 5 bytes
  const bool from_short = from.size() - kShortest < kLengths;
  const bool to_short = to.size() - kShortest < kLengths;
  if (!(from_short & to_short)) return false;
  const unsigned from_side = AbSide(from);
  const unsigned to_side = AbSide(to);
  if ((from_side | to_side) > 1) return false;
  int from_ab = 0;
  int to_ab = 0;
  if (!ShortDigitsValues(internal::AfterLetter(from), internal::AfterLetter(to),
                         from_ab, to_ab)) {
    return false;
  }
  const bool from_ab_number = internal::IsAbNumber(from_ab);
  const bool to_ab_number = internal::IsAbNumber(to_ab);
  if (!(from_ab_number & to_ab_number)) return false;
  from_number = internal::Sequence(from_side, from_ab);
  to_number = internal::Sequence(to_side, to_ab);
  return true;
}
}  // namespace cordshift

#endif  // CORDSHIFT_WIRING_NOTATION_H_
