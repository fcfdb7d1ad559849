#include "wiring/terminal_tally.h"

#include <cstddef>
#include <limits>

#include "wiring/numeric.h"

namespace cordshift {

void TerminalTally::ResetTerminalTally() {
  if (!sized_) counts_.fill(0);
  for (const int number : used_) counts_[static_cast<std::size_t>(number)] = 0;
  used_.clear();
  sized_ = true;
}

void TerminalTally::TallyTerminal(std::string_view text) {
  const WholeNumber number = ParseWholeNumber(text);
  if (number.ok()) TallyTerminalNumber(number.value);
}

void TerminalTally::TallyTerminalNumber(std::int64_t number) {
  if (!sized_ || number < 1 || number > TableCapacity) return;
  std::int32_t& count = counts_[static_cast<std::size_t>(number)];
  if (count == 0) used_.push_back(static_cast<int>(number));
  // Saturates rather than wrapping: only "used or not" matters downstream.
  if (count < std::numeric_limits<std::int32_t>::max()) ++count;
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
