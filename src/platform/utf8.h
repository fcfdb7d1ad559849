#ifndef CORDSHIFT_PLATFORM_UTF8_H_
#define CORDSHIFT_PLATFORM_UTF8_H_

// Decoding of UTF-8 texts (file names, texts of the user interface), for
// ordering names and measuring texts. Malformed sequences never stop a walk:
// they are reported byte by byte.

#include <cstddef>
#include <string>
#include <string_view>

namespace cordshift {

struct Utf8Char {
  char32_t code_point = 0;
  std::size_t length = 1;  // bytes taken; 1 for a malformed sequence
  bool valid = false;
};

// The character starting at `pos` (< text.size()). A truncated, overlong or
// surrogate sequence, or one beyond U+10FFFF, is not valid and takes only
// its first byte.
Utf8Char DecodeUtf8At(std::string_view text, std::size_t pos);

// True when the whole text is well-formed UTF-8.
bool IsValidUtf8(std::string_view text);

// A key under which names that a case-insensitive file system may take for
// one are equal: the letters of the Latin (ASCII and Latin-1), Greek and
// Cyrillic alphabets and the full-width Latin letters are folded to upper
// case. It may fold more than a given file system does, so a caller that
// must be sure asks the file system itself (the files' identities).
std::u32string FoldedNameKey(std::string_view name);

}  // namespace cordshift

#endif  // CORDSHIFT_PLATFORM_UTF8_H_
