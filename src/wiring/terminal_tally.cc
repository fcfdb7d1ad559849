#include "wiring/terminal_tally.h"

#include <cstddef>

#include "wiring/numeric.h"

namespace cordshift {

void TerminalTally::ResetTerminalTally() {
  if (!sized_) used_flags_.fill(0);
  for (const int number : used_) {
    used_flags_[static_cast<std::size_t>(number)] = 0;
  }
  used_.clear();
  sized_ = true;
}

void TerminalTally::TallyTerminal(std::string_view text) {
  const WholeNumber number = ParseWholeNumber(text);
  if (number.ok()) TallyTerminalNumber(number.value);
}

int TerminalTally::SummarizeTerminals() {
  highest_terminal_ = 0;
  if (!sized_) return 0;
  for (const int number : used_) {
    if (number > highest_terminal_) highest_terminal_ = number;
  }
  return static_cast<int>(used_.size());
}

}  // namespace cordshift
