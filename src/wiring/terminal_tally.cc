#include "wiring/terminal_tally.h"

#include <cstddef>
#include <limits>

#include "wiring/numeric.h"

namespace cordshift {

void TerminalTally::ResetTerminalTally() {
  counts_.fill(0);
  sized_ = true;
}

void TerminalTally::TallyTerminal(std::string_view text) {
  const WholeNumber number = ParseWholeNumber(text);
  if (number.ok()) TallyTerminalNumber(number.value);
}

void TerminalTally::TallyTerminalNumber(std::int64_t number) {
  if (!sized_ || number < 1 || number > TableCapacity) return;
  std::int32_t& count = counts_[static_cast<std::size_t>(number)];
  // Saturates rather than wrapping: only "used or not" matters downstream.
  if (count < std::numeric_limits<std::int32_t>::max()) ++count;
}

int TerminalTally::SummarizeTerminals() {
  highest_terminal_ = 0;
  if (!sized_) return 0;
  int count = 0;
  for (int n = 1; n <= TableCapacity; ++n) {
    if (counts_[static_cast<std::size_t>(n)] > 0) {
      ++count;
      highest_terminal_ = n;
    }
  }
  return count;
}

}  // namespace cordshift
