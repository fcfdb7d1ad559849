#ifndef CORDSHIFT_WIRING_TERMINAL_TALLY_H_
#define CORDSHIFT_WIRING_TERMINAL_TALLY_H_

// Tallies which terminal numbers occur in one file: a dense table of
// TableCapacity flags indexed by terminal number (only "used or not" matters
// to the summaries and headers, and bytes keep the table in the cache). The
// numbers in use are also kept in a list, so that resetting and summarising a
// file cost as much as its terminals rather than the whole table.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

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
  // The same for a terminal number already known.
  void TallyTerminalNumber(std::int64_t number) {
    if (!sized_ || number < 1 || number > TableCapacity) return;
    std::uint8_t& used = used_flags_[static_cast<std::size_t>(number)];
    if (used == 0) {
      used = 1;
      used_.push_back(static_cast<int>(number));
    }
  }

  // Number of terminals with a non-zero count; sets HighestTerminal(). 0 for
  // a tally not sized by a reset.
  int SummarizeTerminals();

  int HighestTerminal() const { return highest_terminal_; }
  void SetHighestTerminal(int value) { highest_terminal_ = value; }

 private:
  std::array<std::uint8_t, TableCapacity + 1> used_flags_{};  // 0 unused
  std::vector<int> used_;  // numbers whose count is not 0, in first-use order
  bool sized_ = false;
  int highest_terminal_ = 0;
};

}  // namespace cordshift

#endif  // CORDSHIFT_WIRING_TERMINAL_TALLY_H_
