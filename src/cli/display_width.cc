#include "cli/display_width.h"

#include <algorithm>
#include <array>

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

bool IsContinuationByte(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Length of the UTF-8 sequence that starts with `lead`; 0 for a byte that
// cannot start one.
std::size_t SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

// Decodes the sequence at `pos`; false when it is cut off or malformed.
bool DecodeAt(std::string_view text, std::size_t pos, std::size_t length,
              char32_t& code_point) {
  if (length == 0 || pos + length > text.size()) return false;
  const auto lead = static_cast<unsigned char>(text[pos]);
  constexpr std::array<unsigned char, 5> kLeadMasks = {0, 0x7F, 0x1F, 0x0F,
                                                       0x07};
  code_point = lead & kLeadMasks[length];
  for (std::size_t i = 1; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(text[pos + i]);
    if (!IsContinuationByte(byte)) return false;
    code_point = (code_point << 6) | (byte & 0x3Fu);
  }
  return true;
}

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
    const std::size_t length =
        SequenceLength(static_cast<unsigned char>(utf8[pos]));
    char32_t code_point = 0;
    if (!DecodeAt(utf8, pos, length, code_point)) {
      ++width;
      ++pos;
      continue;
    }
    width += IsWideCodePoint(code_point) ? 2 : 1;
    pos += length;
  }
  return width;
}

}  // namespace cordshift
