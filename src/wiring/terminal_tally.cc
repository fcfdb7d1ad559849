#include "wiring/terminal_tally.h"

#include <bit>
#include <cstddef>

#include "wiring/numeric.h"

namespace cordshift {

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
  for (std::size_t w = 0; w < used_.size(); ++w) {
    const std::uint64_t word = used_[w];
    if (word == 0) continue;
    count += std::popcount(word);
    const auto leading = static_cast<std::size_t>(std::countl_zero(word));
    highest_terminal_ = static_cast<int>((w + 1) * kWordBits - 1 - leading);
  }
  return count;
}

}  // namespace cordshift
