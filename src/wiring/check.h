#ifndef CORDSHIFT_WIRING_CHECK_H_
#define CORDSHIFT_WIRING_CHECK_H_

// Checks of header lines and terminal numbers. None of them fails: any error
// inside (a number out of range among them) makes the result false.

#include <string_view>

namespace cordshift {

// The highest terminal number the system handles and the size of every
// per-terminal table.
inline constexpr int TableCapacity = 8192;

// True when the text is a valid date-time header line: 14 characters,
// year >= 0, month 0..12, day 0..31, hour 0..24, minute and second 0..60
// (each part numeric, no calendar check).
bool IsDateStamp(std::string_view text);

// True when the text is numeric and its whole-number value is
// 1..TableCapacity.
bool IsTerminalNumber(std::string_view text);

// True when `from` is a terminal number and `to` is empty or one.
bool IsTerminalPair(std::string_view from, std::string_view to);

}  // namespace cordshift

#endif  // CORDSHIFT_WIRING_CHECK_H_
