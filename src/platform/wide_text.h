#ifndef CORDSHIFT_PLATFORM_WIDE_TEXT_H_
#define CORDSHIFT_PLATFORM_WIDE_TEXT_H_

// Windows only: UTF-8 texts and the UTF-16 of the wide-character API, for
// the programs' boundaries (arguments, window texts).

#ifdef _WIN32

#include <string>
#include <string_view>

namespace cordshift {

// UTF-16 text as UTF-8. An unpaired surrogate, which no text typed by a
// user holds, becomes U+FFFD.
std::string WideToUtf8(std::wstring_view wide);

// UTF-8 text as UTF-16; malformed bytes become U+FFFD.
std::wstring Utf8ToWide(std::string_view utf8);

}  // namespace cordshift

#endif  // _WIN32

#endif  // CORDSHIFT_PLATFORM_WIDE_TEXT_H_
