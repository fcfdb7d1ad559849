// The date-time check: the input as it is, compared with a reference that
// splits the text into Shift-JIS characters on its own, and the input mapped
// to 14 digits, compared with a plain calendar-field check.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "wiring/check.h"
#include "wiring/numeric.h"

namespace cordshift::fuzz {
namespace {

struct Field {
  std::size_t first;
  std::size_t count;
  std::int32_t max;
};

constexpr std::array<Field, 6> kFields = {{
    {0, 4, 2147483647},  // year
    {4, 2, 12},          // month
    {6, 2, 31},          // day
    {8, 2, 24},          // hour
    {10, 2, 60},         // minute
    {12, 2, 60},         // second
}};

bool IsLead(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
bool IsTrail(unsigned char b) {
  return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

std::vector<std::string> SjisCharacters(std::string_view text) {
  std::vector<std::string> characters;
  for (std::size_t i = 0; i < text.size();) {
    const bool pair = i + 1 < text.size() &&
                      IsLead(static_cast<unsigned char>(text[i])) &&
                      IsTrail(static_cast<unsigned char>(text[i + 1]));
    const std::size_t length = pair ? 2 : 1;
    characters.emplace_back(text.substr(i, length));
    i += length;
  }
  return characters;
}

bool ReferenceDateStamp(std::string_view text) {
  const std::vector<std::string> characters = SjisCharacters(text);
  if (characters.size() != 14) return false;
  for (const Field& field : kFields) {
    std::string part;
    for (std::size_t i = 0; i < field.count; ++i) {
      part += characters[field.first + i];
    }
    const WholeNumber number = ParseWholeNumber(part);
    if (!number.ok() || number.value < 0 || number.value > field.max) {
      return false;
    }
  }
  return true;
}

// Fourteen digits made from the input's bytes.
std::string DigitsFrom(std::string_view input) {
  std::string digits;
  for (std::size_t i = 0; i < 14; ++i) {
    const auto byte =
        i < input.size() ? static_cast<unsigned char>(input[i]) : 0u;
    digits.push_back(static_cast<char>('0' + byte % 10));
  }
  return digits;
}

int TwoDigits(std::string_view digits, std::size_t at) {
  return (digits[at] - '0') * 10 + (digits[at + 1] - '0');
}

bool CalendarFieldsInRange(std::string_view digits) {
  return TwoDigits(digits, 4) <= 12 && TwoDigits(digits, 6) <= 31 &&
         TwoDigits(digits, 8) <= 24 && TwoDigits(digits, 10) <= 60 &&
         TwoDigits(digits, 12) <= 60;
}

void FuzzOneInput(std::string_view input) {
  Require(IsDateStamp(input) == ReferenceDateStamp(input),
          "IsDateStamp agrees with the character-by-character reference");
  const std::string digits = DigitsFrom(input);
  Require(IsDateStamp(digits) == CalendarFieldsInRange(digits),
          "fourteen digits are a date exactly when each field is in range");
}

}  // namespace
}  // namespace cordshift::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  cordshift::fuzz::FuzzOneInput(cordshift::fuzz::AsText(data, size));
  return 0;
}
