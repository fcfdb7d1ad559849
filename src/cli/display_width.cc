#include "cli/display_width.h"

#include <algorithm>
#include <array>

#include "platform/utf8.h"

namespace cordshift {
namespace {

struct CodePointRange {
  char32_t first;
  char32_t last;
};

// The wide (W) and fullwidth (F) blocks of Unicode's East Asian Width
// property that occur in Japanese text and emoji, in ascending order.
constexpr std::array<CodePointRange, 19> kWideRanges = {{
    {0x1100, 0x115F},    // Hangul Jamo initials
    {0x231A, 0x231B},    // watch, hourglass
    {0x2329, 0x232A},    // angle brackets
    {0x2E80, 0x303E},    // CJK radicals, ideographic punctuation
    {0x3041, 0x33FF},    // kana, bopomofo, CJK compatibility
    {0x3400, 0x4DBF},    // CJK extension A
    {0x4E00, 0x9FFF},    // CJK unified ideographs
    {0xA000, 0xA4CF},    // Yi
    {0xA960, 0xA97F},    // Hangul Jamo extended A
    {0xAC00, 0xD7A3},    // Hangul syllables
    {0xF900, 0xFAFF},    // CJK compatibility ideographs
    {0xFE10, 0xFE19},    // vertical forms
    {0xFE30, 0xFE6F},    // CJK compatibility forms, small forms
    {0xFF00, 0xFF60},    // fullwidth ASCII variants
    {0xFFE0, 0xFFE6},    // fullwidth signs
    {0x1F300, 0x1F64F},  // pictographs, emoticons
    {0x1F900, 0x1F9FF},  // supplemental pictographs
    {0x20000, 0x2FFFD},  // CJK extensions B to F
    {0x30000, 0x3FFFD},  // CJK extension G
}};

}  // namespace

bool IsWideCodePoint(char32_t code_point) {
  const auto* it =
      std::upper_bound(kWideRanges.begin(), kWideRanges.end(), code_point,
                       [](char32_t cp, const CodePointRange& range) {
                         return cp < range.first;
                       });
  if (it == kWideRanges.begin()) return false;
  return code_point <= std::prev(it)->last;
}

std::size_t DisplayWidth(std::string_view utf8) {
  std::size_t width = 0;
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    // A malformed byte is shown as one replacement character.
    const Utf8Char c = DecodeUtf8At(utf8, pos);
    width += c.valid && IsWideCodePoint(c.code_point) ? 2 : 1;
    pos += c.length;
  }
  return width;
}

}  // namespace cordshift
