#include "wiring/check.h"

#include <cstddef>
#include <cstdint>
#include <limits>

#include "platform/sjis.h"
#include "wiring/numeric.h"

namespace cordshift {
namespace {

// One part of the date-time line, counted in characters from 0.
struct DateField {
  std::size_t first;
  std::size_t count;
  std::int32_t max;
};

constexpr std::size_t kDateStampLength = 14;
constexpr std::int32_t kNoUpperBound = std::numeric_limits<std::int32_t>::max();
constexpr DateField kDateFields[] = {
    {0, 4, kNoUpperBound},  // year
    {4, 2, 12},             // month
    {6, 2, 31},             // day
    {8, 2, 24},             // hour
    {10, 2, 60},            // minute
    {12, 2, 60},            // second
};

bool IsWholeNumberIn(std::string_view text, std::int32_t min,
                     std::int32_t max) {
  const WholeNumber number = ParseWholeNumber(text);
  return number.ok() && number.value >= min && number.value <= max;
}

}  // namespace

bool IsDateStamp(std::string_view text) {
  // A double-byte character is one character here, as it is on the tester.
  if (SjisCharCount(text) != kDateStampLength) return false;
  for (const DateField& field : kDateFields) {
    if (!IsWholeNumberIn(SjisSubstr(text, field.first, field.count), 0,
                         field.max)) {
      return false;
    }
  }
  return true;
}

bool IsTerminalNumber(std::string_view text) {
  return IsWholeNumberIn(text, 1, TableCapacity);
}

bool IsTerminalPair(std::string_view from, std::string_view to) {
  return IsTerminalNumber(from) && (to.empty() || IsTerminalNumber(to));
}

}  // namespace cordshift
