#ifndef CORDSHIFT_PLATFORM_SJIS_H_
#define CORDSHIFT_PLATFORM_SJIS_H_

// Helpers on Shift-JIS (code page 932) byte strings. A double-byte character
// is a lead byte (0x81-0x9F, 0xE0-0xFC) followed by a trail byte (0x40-0x7E,
// 0x80-0xFC); a trail byte can look like "\", "A" or "a", so every helper that
// looks at characters walks the text character by character. A lead byte
// at the very end of a text (its trail byte cut off) counts as one character.

#include <cstddef>
#include <string>
#include <string_view>

namespace cordshift {

constexpr bool IsSjisLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

constexpr bool IsSjisTrailByte(unsigned char byte) {
  return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

// Number of bytes of the character that starts at `pos`: 2 for a lead byte
// followed by a trail byte, else 1 (a lead byte before a byte that cannot be
// a trail byte, such as CR or ",", stands alone, so the byte after it is
// never swallowed).
inline std::size_t SjisCharLength(std::string_view text, std::size_t pos) {
  return pos + 1 < text.size() &&
                 IsSjisLeadByte(static_cast<unsigned char>(text[pos])) &&
                 IsSjisTrailByte(static_cast<unsigned char>(text[pos + 1]))
             ? 2
             : 1;
}

// Number of characters in the text.
std::size_t SjisCharCount(std::string_view text);

// Byte offset of character number `index` (0-based); text.size() when the
// text has fewer characters.
std::size_t SjisCharOffset(std::string_view text, std::size_t index);

// Characters [first, first + count) of the text, counted from 0.
std::string_view SjisSubstr(std::string_view text, std::size_t first,
                            std::size_t count);

// The text without its first character (empty for an empty text).
std::string_view SjisDropFirstChar(std::string_view text);

// Single-byte letters a-z upper-cased; double-byte characters unchanged.
std::string SjisToUpper(std::string_view text);
void SjisToUpperInPlace(std::string& text);
// Appends the upper-cased text to `out`.
void AppendSjisUpper(std::string& out, std::string_view text);
// Writes the upper-cased text at `out`, which has room for it, and returns
// the end of what was written.
char* CopySjisUpper(char* out, std::string_view text);

// The first character upper-cased when it is a single-byte letter; 0 when the
// text is empty or starts with a double-byte character.
inline char SjisFirstCharUpper(std::string_view text) {
  if (text.empty() || SjisCharLength(text, 0) == 2) return 0;
  const char c = text[0];
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Removes the space character (0x20 only) at both ends. A space is never a
// trail byte, so this cannot split a double-byte character.
inline std::string_view TrimSpaces(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// Removes spaces and tabs at both ends (the blanks of INI files).
std::string_view TrimBlanks(std::string_view text);

}  // namespace cordshift

#endif  // CORDSHIFT_PLATFORM_SJIS_H_
