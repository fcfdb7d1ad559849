#ifndef CORDSHIFT_PLATFORM_CODEPAGE_H_
#define CORDSHIFT_PLATFORM_CODEPAGE_H_

// Conversion between Shift-JIS (code page 932) and UTF-8. Wiring data and INI
// files stay in code page 932 bytes; only texts that cross into the user
// interface or the file system are converted, here.

#include <optional>
#include <string>
#include <string_view>

namespace cordshift {

// Code page 932 bytes to UTF-8. No value when the bytes are not valid
// code page 932 (never a replacement character).
std::optional<std::string> Cp932ToUtf8(std::string_view cp932);

// UTF-8 to code page 932. No value when the text is not valid UTF-8 or holds
// a character that code page 932 cannot represent exactly: the result must
// read back as the same UTF-8 text (a yen sign would come back as a
// backslash, so it is refused).
std::optional<std::string> Utf8ToCp932(std::string_view utf8);

// True when Utf8ToCp932 succeeds for the text.
bool IsCp932Representable(std::string_view utf8);

// Best-effort display text for code page 932 bytes that may be invalid:
// invalid bytes are shown as "\xNN" escapes. For messages and lists only.
std::string Cp932ToUtf8Lossy(std::string_view cp932);

}  // namespace cordshift

#endif  // CORDSHIFT_PLATFORM_CODEPAGE_H_
