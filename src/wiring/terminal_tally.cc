#include "wiring/terminal_tally.h"

#include <bit>
#include <cstddef>

#include "wiring/numeric.h"

namespace cordshift {
namespace {

// The set bits of a word, counted in place: the baseline x86-64 has no
// popcount instruction, and the library call costs several times more.
int BitCount(std::uint64_t word) {
  word -= (word >> 1) & 0x5555555555555555u;
  word = (word & 0x3333333333333333u) + ((word >> 2) & 0x3333333333333333u);
  word = (word + (word >> 4)) & 0x0F0F0F0F0F0F0F0Fu;
  return static_cast<int>((word * 0x0101010101010101u) >> 56);
}

}  // namespace

void TerminalTally::ResetTerminalTally() {
  used_.fill(0);
  sized_ = true;
}

void TerminalTally::TallyTerminal(std::string_view text) {
  const WholeNumber number = ParseWholeNumber(text);
  if (number.ok()) TallyTerminalNumber(number.value);
}

int TerminalTally::SummarizeTerminals() {
  highest_terminal_ = 0;
  if (!sized_) return 0;
  int count = 0;
  for (const std::uint64_t word : used_) count += BitCount(word);
  for (std::size_t word = used_.size(); word-- > 0;) {
    if (used_[word] != 0) {
      const auto leading =
          static_cast<std::size_t>(std::countl_zero(used_[word]));
      highest_terminal_ =
          static_cast<int>((word + 1) * kWordBits - 1 - leading);
      break;
    }
  }
  return count;
}

}  // namespace cordshift
