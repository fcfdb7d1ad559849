#ifndef CORDSHIFT_WIRING_TERMINAL_TALLY_H_
#define CORDSHIFT_WIRING_TERMINAL_TALLY_H_

// Tallies which terminal numbers occur in one file. Only "used or not"
// matters to the summaries and headers, so the tally is one bit per
// terminal number: 1 KiB that stays in the cache, marked without a branch
// per terminal (whether a terminal is new is random from record to record),
// and reset and summarised a word at a time.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "wiring/check.h"

namespace cordshift {

class TerminalTally {
 public:
  // Sizes the tally to 1..TableCapacity and sets every entry to 0.
  void ResetTerminalTally();

  // Adds one to the entry of the terminal whose text is given; nothing
  // happens for a text that is not numeric, a number outside
  // 1..TableCapacity, or a tally not yet sized by a reset.
  void TallyTerminal(std::string_view text);
  // The same for a terminal number already known. (A terminal tallied
  // before the first reset is marked, but the reset clears it and nothing
  // before it is summarised, so no check is made here.)
  void TallyTerminalNumber(std::int64_t number) {
    if (static_cast<std::uint64_t>(number) - 1 < std::uint64_t{TableCapacity}) {
      TallyTableNumber(static_cast<int>(number));
    }
  }

  // The same for 1 <= number <= TableCapacity, known to be in range.
  void TallyTableNumber(int number) {
    const auto bit = static_cast<std::size_t>(number);
    used_[bit / kWordBits] |= std::uint64_t{1} << (bit % kWordBits);
  }

  // Number of terminals with a non-zero count; sets HighestTerminal(). 0 for
  // a tally not sized by a reset.
  int SummarizeTerminals();

  int HighestTerminal() const { return highest_terminal_; }
  void SetHighestTerminal(int value) { highest_terminal_ = value; }

 private:
  static constexpr std::size_t kWordBits = 64;

  // Bit n % 64 of word n / 64 is set when terminal n occurred (bit 0 of
  // word 0 unused).
  std::array<std::uint64_t, TableCapacity / kWordBits + 1> used_{};
  bool sized_ = false;
  int highest_terminal_ = 0;
};

}  // namespace cordshift

#endif  // CORDSHIFT_WIRING_TERMINAL_TALLY_H_
